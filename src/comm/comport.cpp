// The serial-port component. In this file:
//   ---- Option objects (flow control, characters, buffer sizes, time-outs)
//   ---- Port: life cycle, errors and settings (the device control block)
//   ---- Events and the event thread
//   ---- Reading and writing; queues, lines and status
//   ---- Configuration (dialogs, port lists)
#include "comm/comport.h"
#include "comm/comthread.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/watched.h"
#include "platform/win32/commapi.h"
#include "platform/win32/events.h"
#include "platform/win32/mainthread.h"
#include "platform/win32/processpriority.h"
#include <cstring>

QM_CLASS_PLAIN(TFlowControl, TPersistent)
QM_CLASS_PLAIN(TCharacters, TPersistent)
QM_CLASS_PLAIN(TBufferSizes, TPersistent)
QM_CLASS_PLAIN(TTimeouts, TPersistent)
QM_CLASS_ABSTRACT(TCustomComPort, TComponent)
QM_CLASS_OWNED(TComPort, TCustomComPort, TComponent)

QM_PUBLISHED(TFlowControl, Prop("DTR", &Self::DTR, &Self::SetDTR).Default(dcDefault),
             Prop("RTS", &Self::RTS, &Self::SetRTS).Default(rcDefault),
             Prop("XOnXOff", &Self::XOnXOff, &Self::SetXOnXOff).Default(xcDefault),
             Prop("XOnLimit", &Self::XOnLimit, &Self::SetXOnLimit).Default(0),
             Prop("XOffLimit", &Self::XOffLimit, &Self::SetXOffLimit).Default(0));
QM_PUBLISHED(TCharacters, Prop("XOn", &Self::XOn, &Self::SetXOn).Default(17),
             Prop("XOff", &Self::XOff, &Self::SetXOff).Default(19),
             Prop("Error", &Self::Error, &Self::SetError).Default(0),
             Prop("Eof", &Self::Eof, &Self::SetEof).Default(0),
             Prop("Event", &Self::Event, &Self::SetEvent).Default(0));
QM_PUBLISHED(TBufferSizes, Prop("Input", &Self::Input, &Self::SetInput).Default(4096),
             Prop("Output", &Self::Output, &Self::SetOutput).Default(2048));
QM_PUBLISHED(TTimeouts,
             Prop("ReadInterval", &Self::ReadInterval, &Self::SetReadInterval).Default(0),
             Prop("ReadMultiplier", &Self::ReadMultiplier, &Self::SetReadMultiplier).Default(0),
             Prop("ReadConstant", &Self::ReadConstant, &Self::SetReadConstant).Default(0),
             Prop("WriteMultiplier", &Self::WriteMultiplier, &Self::SetWriteMultiplier).Default(0),
             Prop("WriteConstant", &Self::WriteConstant, &Self::SetWriteConstant).Default(0));
// ModemStatus is the line's state, never stored. A handler is stored when it is
// a method of the stream's root; bound while read, it starts the event thread
// at open as an assigned one does.
QM_PUBLISHED(
    TComPort, Prop("About", &Self::About, &Self::SetAbout).Stored(false),
    Prop("Active", &Self::Active, &Self::SetActive).Default(false),
    Prop("BaudRate", &Self::BaudRate, &Self::SetBaudRate).Default(brDefault),
    Prop("BufferSizes", &Self::BufferSizes), Prop("Characters", &Self::Characters),
    Prop("CustomBaudRate", &Self::CustomBaudRate, &Self::SetCustomBaudRate)
        .Stored(&Self::IsCustomBaudRateStored),
    Prop("DataBits", &Self::DataBits, &Self::SetDataBits).Default(dbDefault),
    Prop("DeviceName", &Self::DeviceName, &Self::SetDeviceName).Default("COM1"),
    Prop("FlowControl", &Self::FlowControl),
    Prop("ModemStatus", &Self::ModemStatus, &Self::IgnoreModemStatus).Stored(false),
    Prop("Options", &Self::Options, &Self::SetOptions).Default(TOptions()),
    Prop("Parity", &Self::Parity, &Self::SetParity).Default(paDefault),
    Prop("PriorityClass", &Self::PriorityClass, &Self::SetPriorityClass).Default(pcDefault),
    Prop("StopBits", &Self::StopBits, &Self::SetStopBits).Default(sbDefault),
    Prop("SynchronizeEvents", &Self::SynchronizeEvents, &Self::SetSynchronizeEvents).Default(true),
    Prop("ThreadPriority", &Self::ThreadPriority, &Self::SetThreadPriority).Default(tpTimeCritical),
    Prop("Timeouts", &Self::Timeouts), Prop("AfterClose", &Self::AfterClose),
    Prop("AfterOpen", &Self::AfterOpen), Prop("BeforeClose", &Self::BeforeClose),
    Prop("BeforeOpen", &Self::BeforeOpen), Prop("AfterRead", &Self::AfterRead),
    Prop("AfterWrite", &Self::AfterWrite), Prop("BeforeRead", &Self::BeforeRead),
    Prop("BeforeWrite", &Self::BeforeWrite), Prop("OnError", &Self::OnError),
    Prop("OnLineError", &Self::OnLineError), Prop("OnBreak", &Self::OnBreak),
    Prop("OnCTSChange", &Self::OnCTSChange), Prop("OnDSRChange", &Self::OnDSRChange),
    Prop("OnEvent1", &Self::OnEvent1), Prop("OnEvent2", &Self::OnEvent2),
    Prop("OnPrinterError", &Self::OnPrinterError), Prop("OnRing", &Self::OnRing),
    Prop("OnRLSDChange", &Self::OnRLSDChange), Prop("OnRx80PercFull", &Self::OnRx80PercFull),
    Prop("OnRxChar", &Self::OnRxChar), Prop("OnRxFlag", &Self::OnRxFlag),
    Prop("OnTxEmpty", &Self::OnTxEmpty));

namespace {
const char* const ClosedPortText = "Can't perform this operation on a closed port";
const char* const OpenPortText = "Can't perform this operation on an open port";
const char* const TimeoutText = "Timeout";

// Platform values of the enumerations, in member order; the Default members
// share the value 0 with the first real member.
const DWORD BaudRates[] = {0,     50,    75,    110,   150,   300,    600,    1200,   1800,
                           2000,  2400,  3600,  4800,  7200,  9600,   10400,  14400,  15625,
                           19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000, 0};
const uint8_t DataBitsValues[] = {0, 4, 5, 6, 7, 8};
const uint8_t ParityValues[] = {0, NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
const uint8_t StopBitsValues[] = {0, ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
const DWORD DTRValues[] = {0, DTR_CONTROL_DISABLE, DTR_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE};
const DWORD RTSValues[] = {0, RTS_CONTROL_DISABLE, RTS_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE,
                           RTS_CONTROL_TOGGLE};
const DWORD XOnXOffValues[] = {0, 0, fInX, fOutX, fInX | fOutX};
const DWORD OptionFlags[] = {fParity,           fOutxCtsFlow, fOutxDsrFlow, fDsrSensitivity,
                             fTXContinueOnXoff, fErrorChar,   fNull,        fAbortOnError};
const DWORD PriorityValues[] = {0, IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                REALTIME_PRIORITY_CLASS};
const int ThreadPriorityValues[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                    THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                    THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                    THREAD_PRIORITY_TIME_CRITICAL};
const DWORD LineErrorBits[] = {CE_BREAK,   CE_DNS, CE_FRAME,  CE_IOE,      CE_MODE,  CE_OOP,
                               CE_OVERRUN, CE_PTO, CE_RXOVER, CE_RXPARITY, CE_TXFULL};

// The last member whose value matches, so the Default member (sharing 0)
// is never chosen; -1 when none matches.
template <typename T, size_t N> int LastMatch(const T (&values)[N], DWORD value) {
    for (int i = static_cast<int>(N) - 1; i >= 0; --i)
        if (values[i] == value) return i;
    return -1;
}

TLineErrors LineErrorsOf(DWORD errors) {
    TLineErrors set;
    for (int i = 0; i < static_cast<int>(std::size(LineErrorBits)); ++i)
        if (errors & LineErrorBits[i]) set.Include(static_cast<TLineError>(i));
    return set;
}
} // namespace

// ---- Option objects

void TFlowControl::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TFlowControl*>(Source)) {
        Change([&] {
            FDTR = src->FDTR;
            FRTS = src->FRTS;
            FXOnXOff = src->FXOnXOff;
            FXOnLimit = src->FXOnLimit;
            FXOffLimit = src->FXOffLimit;
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TFlowControl::Change(const std::function<void()>& Store) {
    if (FComPort)
        FComPort->ChangeDCB(Store);
    else
        Store();
}

void TFlowControl::SetDTR(TDTRControl Value) {
    if (Value != FDTR) Change([&] { FDTR = Value; });
}

void TFlowControl::SetRTS(TRTSControl Value) {
    if (Value != FRTS) Change([&] { FRTS = Value; });
}

void TFlowControl::SetXOnXOff(TXOnXOffControl Value) {
    if (Value != FXOnXOff) Change([&] { FXOnXOff = Value; });
}

void TFlowControl::SetXOnLimit(uint16_t Value) {
    if (Value != FXOnLimit) Change([&] { FXOnLimit = Value; });
}

void TFlowControl::SetXOffLimit(uint16_t Value) {
    if (Value != FXOffLimit) Change([&] { FXOffLimit = Value; });
}

void TCharacters::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCharacters*>(Source)) {
        Change([&] {
            FXOn = src->FXOn;
            FXOff = src->FXOff;
            FError = src->FError;
            FEof = src->FEof;
            FEvent = src->FEvent;
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TCharacters::Change(const std::function<void()>& Store) {
    if (FComPort)
        FComPort->ChangeDCB(Store);
    else
        Store();
}

void TCharacters::Set(char& field, char value) {
    if (field != value) Change([&] { field = value; });
}

void TCharacters::SetXOn(char Value) {
    Set(FXOn, Value);
}
void TCharacters::SetXOff(char Value) {
    Set(FXOff, Value);
}
void TCharacters::SetError(char Value) {
    Set(FError, Value);
}
void TCharacters::SetEof(char Value) {
    Set(FEof, Value);
}
void TCharacters::SetEvent(char Value) {
    Set(FEvent, Value);
}

void TBufferSizes::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TBufferSizes*>(Source)) {
        const int input = FInput, output = FOutput;
        FInput = src->FInput;
        FOutput = src->FOutput;
        try {
            if (FComPort) FComPort->ApplyBufferSizes();
        } catch (...) {
            FInput = input;
            FOutput = output;
            throw;
        }
        return;
    }
    TPersistent::Assign(Source);
}

// A size the open port refuses is not kept.
void TBufferSizes::Set(int& field, int value) {
    if (field == value) return;
    const int previous = field;
    field = value;
    try {
        if (FComPort) FComPort->ApplyBufferSizes();
    } catch (...) {
        field = previous;
        throw;
    }
}

void TBufferSizes::SetInput(int Value) {
    Set(FInput, Value);
}
void TBufferSizes::SetOutput(int Value) {
    Set(FOutput, Value);
}

void TTimeouts::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TTimeouts*>(Source)) {
        FReadInterval = src->FReadInterval;
        FReadMultiplier = src->FReadMultiplier;
        FReadConstant = src->FReadConstant;
        FWriteMultiplier = src->FWriteMultiplier;
        FWriteConstant = src->FWriteConstant;
        if (FComPort) FComPort->ApplyTimeouts();
        return;
    }
    TPersistent::Assign(Source);
}

void TTimeouts::Set(int& field, int value) {
    if (field == value) return;
    field = value;
    if (FComPort) FComPort->ApplyTimeouts();
}

void TTimeouts::SetReadInterval(int Value) {
    Set(FReadInterval, Value);
}
void TTimeouts::SetReadMultiplier(int Value) {
    Set(FReadMultiplier, Value);
}
void TTimeouts::SetReadConstant(int Value) {
    Set(FReadConstant, Value);
}
void TTimeouts::SetWriteMultiplier(int Value) {
    Set(FWriteMultiplier, Value);
}
void TTimeouts::SetWriteConstant(int Value) {
    Set(FWriteConstant, Value);
}

// ---- Port: life cycle

TCustomComPort::TCustomComPort(TComponent* AOwner)
    : TComponent(AOwner), FHandle(INVALID_HANDLE_VALUE),
      FFlowControl(std::make_unique<TFlowControl>(this)),
      FCharacters(std::make_unique<TCharacters>(this)),
      FBufferSizes(std::make_unique<TBufferSizes>(this)),
      FTimeouts(std::make_unique<TTimeouts>(this)), FReadOverlapped(std::make_unique<OVERLAPPED>()),
      FWriteOverlapped(std::make_unique<OVERLAPPED>()) {}

TCustomComPort::~TCustomComPort() {
    Destroying();
    try {
        Close();
    } catch (...) {
        // A port that fails to close while it is freed has nobody to tell.
    }
    RemoveQueuedCalls(this);
    // Option objects must not call back into a half-destroyed port.
    FTimeouts.reset();
    FBufferSizes.reset();
    FCharacters.reset();
    FFlowControl.reset();
}

void TCustomComPort::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive && !Designing()) Open();
}

bool TCustomComPort::IsOpen() const {
    return FHandle != INVALID_HANDLE_VALUE;
}

bool TCustomComPort::Active() const {
    return Designing() ? FStreamedActive : IsOpen();
}

void TCustomComPort::SetActive(bool Value) {
    FStreamedActive = Value;
    if (Designing() || IsLoading()) return;
    if (Value != IsOpen()) Value ? Open() : Close();
}

void TCustomComPort::Open() {
    if (IsOpen()) return;
    if (BeforeOpen) BeforeOpen(this);
    CreateHandle();
    if (IsOpen() && AfterOpen) AfterOpen(this);
}

void TCustomComPort::Close() {
    if (!IsMainThread()) {
        // The event thread cannot stop itself; the main thread closes, unless
        // the port is freed first (which withdraws the call).
        QueueToMainThread([this] { Close(); }, this);
        return;
    }
    if (!IsOpen()) return;
    if (BeforeClose) BeforeClose(this);
    ReleaseHandle();
    if (!IsOpen() && AfterClose) AfterClose(this);
}

void TCustomComPort::CreateHandle() {
    ReleaseHandle();
    SetLastError(0);
    try {
        if (FPriorityClass != pcDefault)
            Check(FPriorityClaim.Apply(PriorityValues[FPriorityClass]));
        for (void** event : {&FReadEvent, &FWriteEvent}) {
            *event = CreateEventA(nullptr, 1, 1, nullptr);
            Check(*event != nullptr);
        }
        FHandle = CreateFileA(FDeviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
        if (FHandle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            SetLastError(0);
            RaiseError(static_cast<int>(code), CommErrorMessage(code).c_str());
        }
        PurgeInput();
        PurgeOutput();
        ApplyBufferSizes();
        ApplyDCB();
        ApplyTimeouts();
        ApplyEventMask();
    } catch (...) {
        ReleaseHandle();
        throw;
    }
}

void TCustomComPort::ReleaseHandle() {
    StopThread();
    if (IsOpen()) {
        // Ends the transfers in progress before the events they set go.
        CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }
    for (void** event : {&FWriteEvent, &FReadEvent}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
    FReadWentPending = FWriteWentPending = false;
    FPriorityClaim.Release();
}

// ---- Errors

void TCustomComPort::RaiseError(int Code, const AnsiString& Text) {
    EComError error(Code, Text);
    if (OnError) {
        TComAction action = caFail;
        OnError(this, error, action);
        if (action == caAbort) throw EAbort("");
    }
    throw error;
}

void TCustomComPort::Check(int Result) {
    if (Result) return;
    const DWORD code = GetLastError();
    if (code == 0 || code == ERROR_IO_PENDING) return;
    SetLastError(0);
    RaiseError(static_cast<int>(code), CommErrorMessage(code).c_str());
}

void TCustomComPort::CheckOpen() const {
    if (!IsOpen()) const_cast<TCustomComPort*>(this)->RaiseError(0, ClosedPortText);
}

// ---- Settings

AnsiString TCustomComPort::About() const {
    return "Serial port component";
}

void TCustomComPort::SetBaudRate(TBaudRate Value) {
    if (Value != FBaudRate) ChangeDCB([&] { FBaudRate = Value; });
}

int TCustomComPort::CustomBaudRate() const {
    return FBaudRate == brCustom ? FCustomBaudRate : static_cast<int>(BaudRates[FBaudRate]);
}

void TCustomComPort::SetCustomBaudRate(int Value) {
    if (Value == FCustomBaudRate) return;
    ChangeDCB([&] {
        FCustomBaudRate = Value;
        FBaudRate = brCustom;
    });
}

void TCustomComPort::SetDataBits(TDataBits Value) {
    if (Value != FDataBits) ChangeDCB([&] { FDataBits = Value; });
}

void TCustomComPort::SetParity(TParity Value) {
    if (Value != FParity) ChangeDCB([&] { FParity = Value; });
}

void TCustomComPort::SetStopBits(TStopBits Value) {
    if (Value != FStopBits) ChangeDCB([&] { FStopBits = Value; });
}

void TCustomComPort::SetDeviceName(const AnsiString& Value) {
    if (IsOpen() && !Designing()) RaiseError(0, OpenPortText);
    FDeviceName = Value;
}

AnsiString TCustomComPort::ShortDeviceName() const {
    if (FDeviceName.SubString(1, 4) == "\\\\.\\")
        return FDeviceName.SubString(5, FDeviceName.Length());
    return FDeviceName;
}

void TCustomComPort::SetOptions(TOptions Value) {
    if (Value != FOptions) ChangeDCB([&] { FOptions = Value; });
}

void TCustomComPort::SetPriorityClass(TPriorityClass Value) {
    if (Value == FPriorityClass) return;
    if (IsOpen() && !Designing()) RaiseError(0, OpenPortText);
    FPriorityClass = Value;
}

void TCustomComPort::SetSynchronizeEvents(bool Value) {
    if (Value == FSynchronizeEvents) return;
    if (IsOpen() && !Designing()) RaiseError(0, OpenPortText);
    FSynchronizeEvents = Value;
}

void TCustomComPort::CopyToDCB(DCB& d) const {
    if (FBaudRate != brDefault)
        d.BaudRate =
            FBaudRate == brCustom ? static_cast<DWORD>(FCustomBaudRate) : BaudRates[FBaudRate];
    if (FDataBits != dbDefault) d.ByteSize = DataBitsValues[FDataBits];
    if (FParity != paDefault) d.Parity = ParityValues[FParity];
    if (FStopBits != sbDefault) d.StopBits = StopBitsValues[FStopBits];
    d.XonChar = FCharacters->XOn();
    d.XoffChar = FCharacters->XOff();
    d.ErrorChar = FCharacters->Error();
    d.EofChar = FCharacters->Eof();
    d.EvtChar = FCharacters->Event();
    if (FFlowControl->DTR() != dcDefault)
        d.Flags = (d.Flags & ~fDtrControlMask) | DTRValues[FFlowControl->DTR()];
    if (FFlowControl->RTS() != rcDefault)
        d.Flags = (d.Flags & ~fRtsControlMask) | RTSValues[FFlowControl->RTS()];
    if (FFlowControl->XOnXOff() != xcDefault)
        d.Flags = (d.Flags & ~(fInX | fOutX)) | XOnXOffValues[FFlowControl->XOnXOff()];
    d.XonLim = FFlowControl->XOnLimit();
    d.XoffLim = FFlowControl->XOffLimit();
    for (int i = 0; i < static_cast<int>(std::size(OptionFlags)); ++i) {
        if (FOptions.Contains(static_cast<TOption>(i)))
            d.Flags |= OptionFlags[i];
        else
            d.Flags &= ~OptionFlags[i];
    }
}

// Fields are stored directly and the block applied once by the caller, so a
// half-copied combination (handshake without its flow flag) is never applied.
void TCustomComPort::CopyFromDCB(const DCB& d) {
    if (static_cast<int>(d.BaudRate) != FCustomBaudRate) {
        FCustomBaudRate = static_cast<int>(d.BaudRate);
        FBaudRate = brCustom;
    }
    if (const int i = LastMatch(DataBitsValues, d.ByteSize); i >= 0) FDataBits = TDataBits(i);
    if (const int i = LastMatch(ParityValues, d.Parity); i >= 0) FParity = TParity(i);
    if (const int i = LastMatch(StopBitsValues, d.StopBits); i >= 0) FStopBits = TStopBits(i);
    TCharacters& c = *FCharacters;
    c.FXOn = d.XonChar;
    c.FXOff = d.XoffChar;
    c.FError = d.ErrorChar;
    c.FEof = d.EofChar;
    c.FEvent = d.EvtChar;
    TFlowControl& f = *FFlowControl;
    if (const int i = LastMatch(DTRValues, d.Flags & fDtrControlMask); i >= 0)
        f.FDTR = TDTRControl(i);
    if (const int i = LastMatch(RTSValues, d.Flags & fRtsControlMask); i >= 0)
        f.FRTS = TRTSControl(i);
    if (const int i = LastMatch(XOnXOffValues, d.Flags & (fInX | fOutX)); i >= 0)
        f.FXOnXOff = TXOnXOffControl(i);
    f.FXOnLimit = d.XonLim;
    f.FXOffLimit = d.XoffLim;
    TOptions options;
    for (int i = 0; i < static_cast<int>(std::size(OptionFlags)); ++i)
        if (d.Flags & OptionFlags[i]) options.Include(static_cast<TOption>(i));
    FOptions = options;
}

TCustomComPort::TDCBProperties TCustomComPort::DCBProperties() const {
    const TFlowControl& f = *FFlowControl;
    const TCharacters& c = *FCharacters;
    return {FBaudRate, FCustomBaudRate, FDataBits,  FParity,     FStopBits,    FOptions,
            f.FDTR,    f.FRTS,          f.FXOnXOff, f.FXOnLimit, f.FXOffLimit, c.FXOn,
            c.FXOff,   c.FError,        c.FEof,     c.FEvent};
}

void TCustomComPort::SetDCBProperties(const TDCBProperties& p) {
    FBaudRate = p.BaudRate;
    FCustomBaudRate = p.CustomBaudRate;
    FDataBits = p.DataBits;
    FParity = p.Parity;
    FStopBits = p.StopBits;
    FOptions = p.Options;
    TFlowControl& f = *FFlowControl;
    f.FDTR = p.DTR;
    f.FRTS = p.RTS;
    f.FXOnXOff = p.XOnXOff;
    f.FXOnLimit = p.XOnLimit;
    f.FXOffLimit = p.XOffLimit;
    TCharacters& c = *FCharacters;
    c.FXOn = p.XOn;
    c.FXOff = p.XOff;
    c.FError = p.Error;
    c.FEof = p.Eof;
    c.FEvent = p.Event;
}

void TCustomComPort::ChangeDCB(const std::function<void()>& Store) {
    // A refused block must not stay in the properties: every later open
    // would fail on it.
    const TDCBProperties previous = DCBProperties();
    try {
        Store();
        ApplyDCB();
    } catch (...) {
        SetDCBProperties(previous);
        throw;
    }
}

void TCustomComPort::ApplyDCB() {
    if (!IsOpen() || Designing()) return;
    DCB d{};
    d.DCBlength = sizeof(DCB);
    Check(GetCommState(FHandle, &d));
    CopyToDCB(d);
    // Refused before the device is touched, with what exactly cannot be set.
    const std::string problem = CommStateProblem(d);
    if (!problem.empty()) RaiseError(static_cast<int>(ERROR_NOT_SUPPORTED), problem.c_str());
    Check(SetCommState(FHandle, &d));
}

void TCustomComPort::ApplyBufferSizes() {
    if (!IsOpen() || Designing()) return;
    Check(SetupComm(FHandle, static_cast<DWORD>(FBufferSizes->Input()),
                    static_cast<DWORD>(FBufferSizes->Output())));
}

void TCustomComPort::ApplyTimeouts() {
    if (!IsOpen() || Designing()) return;
    COMMTIMEOUTS t{};
    Check(GetCommTimeouts(FHandle, &t));
    t.ReadIntervalTimeout = static_cast<DWORD>(FTimeouts->ReadInterval());
    t.ReadTotalTimeoutMultiplier = static_cast<DWORD>(FTimeouts->ReadMultiplier());
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(FTimeouts->ReadConstant());
    t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(FTimeouts->WriteMultiplier());
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(FTimeouts->WriteConstant());
    Check(SetCommTimeouts(FHandle, &t));
}

// ---- Events and the event thread

uint32_t TCustomComPort::EventMask() const {
    uint32_t mask = 0;
    if (OnBreak) mask |= EV_BREAK;
    if (OnCTSChange) mask |= EV_CTS;
    if (OnDSRChange) mask |= EV_DSR;
    if (OnLineError) mask |= EV_ERR;
    if (OnEvent1) mask |= EV_EVENT1;
    if (OnEvent2) mask |= EV_EVENT2;
    if (OnPrinterError) mask |= EV_PERR;
    if (OnRing) mask |= EV_RING;
    if (OnRLSDChange) mask |= EV_RLSD;
    if (OnRx80PercFull) mask |= EV_RX80FULL;
    if (OnRxChar) mask |= EV_RXCHAR;
    if (OnRxFlag) mask |= EV_RXFLAG;
    if (OnTxEmpty) mask |= EV_TXEMPTY;
    return mask;
}

void TCustomComPort::ApplyEventMask() {
    if (!IsOpen() || Designing()) return;
    const uint32_t mask = EventMask();
    if (mask == 0) StopThread();
    Check(SetCommMask(FHandle, mask));
    if (mask != 0) StartThread();
}

void TCustomComPort::StartThread() {
    if (FThread && !FThread->Ended()) return;
    FThread.reset(); // a thread whose wait failed is joined first
    FThread = std::make_unique<TComThread>(this);
    try {
        ApplyThreadPriority();
    } catch (...) {
        StopThread();
        throw;
    }
}

void TCustomComPort::SetThreadPriority(TThreadPriority Value) {
    if (Value == FThreadPriority) return;
    const TThreadPriority previous = FThreadPriority;
    FThreadPriority = Value;
    try {
        ApplyThreadPriority();
    } catch (...) {
        FThreadPriority = previous; // the thread runs on as it was
        throw;
    }
}

void TCustomComPort::ApplyThreadPriority() {
    if (!FThread || FThread->Ended()) return;
    Check(::SetThreadPriority(FThread->ThreadId(), ThreadPriorityValues[FThreadPriority]));
}

void TCustomComPort::StopThread() {
    if (!FThread) return;
    // Joined before the handle is closed and its value given to another port.
    FThread->Stop();
    FThread.reset();
}

void TCustomComPort::DispatchEvents(uint32_t Mask, const std::atomic<bool>& Stop) {
    // After a handler freed the port only Stop may be looked at.
    const auto fire = [&](uint32_t bit, const TComEventSlot<TNotifyEvent>& slot) {
        if (!Stop && (Mask & bit) && slot) slot(this);
    };
    fire(EV_BREAK, OnBreak);
    fire(EV_CTS, OnCTSChange);
    fire(EV_DSR, OnDSRChange);
    if (!Stop && (Mask & EV_ERR) && OnLineError) CheckLineErrors();
    fire(EV_EVENT1, OnEvent1);
    fire(EV_EVENT2, OnEvent2);
    fire(EV_PERR, OnPrinterError);
    fire(EV_RING, OnRing);
    fire(EV_RLSD, OnRLSDChange);
    fire(EV_RX80FULL, OnRx80PercFull);
    fire(EV_RXCHAR, OnRxChar);
    fire(EV_RXFLAG, OnRxFlag);
    fire(EV_TXEMPTY, OnTxEmpty);
}

// ---- Reading and writing

bool TCustomComPort::ReadPending() const {
    return FReadEvent && WaitForSingleObject(FReadEvent, 0) != WAIT_OBJECT_0;
}

bool TCustomComPort::WritePending() const {
    return FWriteEvent && WaitForSingleObject(FWriteEvent, 0) != WAIT_OBJECT_0;
}

int TCustomComPort::Read(void* Buffer, int Length, bool WaitOnCompletion) {
    CheckOpen();
    if (BeforeRead) BeforeRead(this, Buffer, Length, WaitOnCompletion);
    WaitForReadCompletion();
    FReadRequested = Length;
    FReadDone = 0;
    if (Length > 0 && WaitOnCompletion) {
        // Waited for at once, the transfer runs on this thread: no thread to
        // start and wake for every byte of a reply.
        OVERLAPPED record{};
        DWORD got = 0;
        const BOOL ok = ReadFile(FHandle, Buffer, static_cast<DWORD>(Length), &got, &record);
        FReadDone = static_cast<int>(got);
        Check(ok);
        if (record.Internal == STATUS_PENDING && FReadDone != FReadRequested)
            RaiseError(0, TimeoutText);
        CheckLineErrors();
    } else if (Length > 0) {
        *FReadOverlapped = OVERLAPPED{};
        FReadOverlapped->hEvent = FReadEvent;
        Check(ResetEvent(FReadEvent));
        DWORD got = 0;
        const BOOL ok =
            ReadFile(FHandle, Buffer, static_cast<DWORD>(Length), &got, FReadOverlapped.get());
        FReadDone = static_cast<int>(got);
        FReadWentPending = !ok && GetLastError() == ERROR_IO_PENDING;
        Check(ok);
    }
    if (AfterRead) AfterRead(this, Buffer, Length, WaitOnCompletion);
    return FReadDone;
}

int TCustomComPort::Write(const void* Buffer, int Length, bool WaitOnCompletion) {
    CheckOpen();
    void* buffer = const_cast<void*>(Buffer);
    if (BeforeWrite) BeforeWrite(this, buffer, Length, WaitOnCompletion);
    WaitForWriteCompletion();
    FWriteRequested = Length;
    FWriteDone = 0;
    if (Length > 0 && WaitOnCompletion) {
        OVERLAPPED record{};
        DWORD done = 0;
        const BOOL ok = WriteFile(FHandle, Buffer, static_cast<DWORD>(Length), &done, &record);
        FWriteDone = static_cast<int>(done);
        Check(ok);
        if (record.Internal == STATUS_PENDING && FWriteDone != FWriteRequested)
            RaiseError(0, TimeoutText);
        CheckLineErrors();
    } else if (Length > 0) {
        *FWriteOverlapped = OVERLAPPED{};
        FWriteOverlapped->hEvent = FWriteEvent;
        Check(ResetEvent(FWriteEvent));
        DWORD done = 0;
        const BOOL ok =
            WriteFile(FHandle, Buffer, static_cast<DWORD>(Length), &done, FWriteOverlapped.get());
        FWriteDone = static_cast<int>(done);
        FWriteWentPending = !ok && GetLastError() == ERROR_IO_PENDING;
        Check(ok);
    }
    if (AfterWrite) AfterWrite(this, buffer, Length, WaitOnCompletion);
    return FWriteDone;
}

// Every transfer that had to wait is held to its count, also one that ended
// before this look: whether it is still pending is only a matter of timing.
int TCustomComPort::WaitForReadCompletion() {
    if (FReadWentPending) {
        FReadWentPending = false;
        DWORD count = 0;
        const BOOL ok = GetOverlappedResult(FHandle, FReadOverlapped.get(), &count, 1);
        FReadDone = static_cast<int>(count);
        Check(ok);
        if (FReadDone != FReadRequested) RaiseError(0, TimeoutText);
    }
    CheckLineErrors();
    return FReadDone;
}

int TCustomComPort::WaitForWriteCompletion() {
    if (FWriteWentPending) {
        FWriteWentPending = false;
        DWORD count = 0;
        const BOOL ok = GetOverlappedResult(FHandle, FWriteOverlapped.get(), &count, 1);
        FWriteDone = static_cast<int>(count);
        Check(ok);
        if (FWriteDone != FWriteRequested) RaiseError(0, TimeoutText);
    }
    CheckLineErrors();
    return FWriteDone;
}

char TCustomComPort::ReadChar() {
    char c = 0;
    Read(&c, 1, true);
    return c;
}

uint8_t TCustomComPort::ReadByte() {
    return static_cast<uint8_t>(ReadChar());
}

uint16_t TCustomComPort::ReadWord() {
    uint8_t b[2] = {};
    Read(b, 2, true);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t TCustomComPort::ReadDWord() {
    uint8_t b[4] = {};
    Read(b, 4, true);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void TCustomComPort::WriteChar(char C) {
    Write(&C, 1, false);
}
void TCustomComPort::WriteByte(uint8_t B) {
    Write(&B, 1, false);
}

void TCustomComPort::WriteWord(uint16_t W) {
    const uint8_t b[2] = {static_cast<uint8_t>(W), static_cast<uint8_t>(W >> 8)};
    Write(b, 2, false);
}

void TCustomComPort::WriteDWord(uint32_t D) {
    const uint8_t b[4] = {static_cast<uint8_t>(D), static_cast<uint8_t>(D >> 8),
                          static_cast<uint8_t>(D >> 16), static_cast<uint8_t>(D >> 24)};
    Write(b, 4, false);
}

void TCustomComPort::WriteString(const AnsiString& S) {
    Write(S.data(), S.Length(), false);
}

AnsiString TCustomComPort::ReadString() {
    CheckOpen();
    WaitForReadCompletion();
    AnsiString result;
    result.SetLength(InputCount());
    Read(result.str().data(), result.Length(), true);
    return result;
}

AnsiString TCustomComPort::ReadUntil(char C) {
    AnsiString result;
    do {
        result += ReadChar();
    } while (result[result.Length()] != C);
    return result;
}

int TCustomComPort::InputCount() {
    DWORD errors = 0;
    COMSTAT stat{};
    Check(ClearCommError(FHandle, &errors, &stat));
    const int count = static_cast<int>(stat.cbInQue);
    if (errors && OnLineError) OnLineError(this, LineErrorsOf(errors));
    return count;
}

int TCustomComPort::OutputCount() {
    DWORD errors = 0;
    COMSTAT stat{};
    Check(ClearCommError(FHandle, &errors, &stat));
    const int count = static_cast<int>(stat.cbOutQue);
    if (errors && OnLineError) OnLineError(this, LineErrorsOf(errors));
    return count;
}

void TCustomComPort::TransmitChar(char C) {
    CheckOpen();
    Check(TransmitCommChar(FHandle, C));
}

// ---- Queues, lines and status

void TCustomComPort::PurgeInput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_RXABORT | PURGE_RXCLEAR));
}
void TCustomComPort::PurgeOutput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_TXABORT | PURGE_TXCLEAR));
}
void TCustomComPort::ClearInput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_RXCLEAR));
}
void TCustomComPort::ClearOutput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_TXCLEAR));
}
void TCustomComPort::AbortInput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_RXABORT));
}
void TCustomComPort::AbortOutput() {
    if (IsOpen()) Check(PurgeComm(FHandle, PURGE_TXABORT));
}
void TCustomComPort::Flush() {
    if (IsOpen()) Check(FlushFileBuffers(FHandle));
}

void TCustomComPort::SetBreak() {
    CheckOpen();
    Check(SetCommBreak(FHandle));
}
void TCustomComPort::ClearBreak() {
    CheckOpen();
    Check(ClearCommBreak(FHandle));
}
void TCustomComPort::SetDTR() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, SETDTR));
}
void TCustomComPort::ClearDTR() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, CLRDTR));
}
void TCustomComPort::SetRTS() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, SETRTS));
}
void TCustomComPort::ClearRTS() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, CLRRTS));
}
void TCustomComPort::SetXOn() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, SETXON));
}
void TCustomComPort::SetXOff() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, SETXOFF));
}
void TCustomComPort::ResetDevice() {
    CheckOpen();
    Check(EscapeCommFunction(FHandle, RESETDEV));
}

TModemStatus TCustomComPort::ModemStatus() {
    if (Designing()) return {};
    CheckOpen();
    DWORD status = 0;
    Check(GetCommModemStatus(FHandle, &status));
    TModemStatus set;
    if (status & MS_CTS_ON) set.Include(msCTS);
    if (status & MS_DSR_ON) set.Include(msDSR);
    if (status & MS_RING_ON) set.Include(msRing);
    if (status & MS_RLSD_ON) set.Include(msRLSD);
    return set;
}

void TCustomComPort::CheckLineErrors() {
    CheckOpen();
    DWORD errors = 0;
    Check(ClearCommError(FHandle, &errors, nullptr));
    if (errors && OnLineError) OnLineError(this, LineErrorsOf(errors));
}

void TCustomComPort::ClearLineErrors() {
    CheckOpen();
    DWORD errors = 0;
    Check(ClearCommError(FHandle, &errors, nullptr));
}

// ---- Configuration

bool TCustomComPort::ConfigDialog() {
    const AnsiString name = ShortDeviceName();
    COMMCONFIG config{};
    DWORD size = sizeof config;
    Check(GetDefaultCommConfigA(name.c_str(), &config, &size));
    CopyToDCB(config.dcb);
    // The port, or the window that owns it, may go while the dialog shows:
    // its OK then changes nothing and counts as Cancel.
    TCallOut held{this};
    const bool accepted = CommConfigDialogA(name.c_str(), nullptr, &config);
    if (held.Gone() || !accepted) return false;
    ChangeDCB([&] {
        CopyFromDCB(config.dcb);
        if (IsOpen() && !Designing()) return; // the device is asked
        // Nothing to ask: refused as the next open would refuse it.
        CopyToDCB(config.dcb);
        const std::string problem = CommStateProblem(config.dcb);
        if (!problem.empty()) RaiseError(static_cast<int>(ERROR_NOT_SUPPORTED), problem.c_str());
    });
    return true;
}

bool TCustomComPort::DefaultConfigDialog() {
    const AnsiString name = ShortDeviceName();
    COMMCONFIG config{};
    DWORD size = sizeof config;
    Check(GetDefaultCommConfigA(name.c_str(), &config, &size));
    TCallOut held{this};
    const bool accepted = CommConfigDialogA(name.c_str(), nullptr, &config);
    if (held.Gone() || !accepted) return false;
    Check(SetDefaultCommConfigA(name.c_str(), &config, size));
    return true;
}

void TCustomComPort::EnumDevices(TStrings* List) {
    std::vector<char> names(65535);
    DWORD length = 0;
    // A machine with more devices than the buffer holds gets a bigger one.
    while ((length = QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size()))) ==
               0 &&
           GetLastError() == ERROR_INSUFFICIENT_BUFFER && names.size() < (1u << 24))
        names.resize(names.size() * 4);
    for (size_t i = 0; i < length;) {
        const std::string name(names.data() + i);
        if (!name.empty()) List->Add(name.c_str());
        i += name.size() + 1;
    }
}

void TCustomComPort::EnumComDevices(TStrings* List) {
    TStringList all;
    EnumDevices(&all);
    for (int i = 0; i < all.Count(); ++i) {
        const std::string name = all.Strings(i).str();
        if (name.rfind("COM", 0) == 0 || name.rfind("\\\\.\\COM", 0) == 0) List->Add(name.c_str());
    }
}

// The serial ports of the machine, as the registry's list of them would hold.
void TCustomComPort::EnumComDevicesFromRegistry(TStrings* List) {
    for (const auto& name : EnumSerialPorts())
        List->Add(name.c_str());
}
