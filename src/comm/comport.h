#pragma once
// The serial-port component. In this file: EComError; the enumerations of the
// port settings; the option objects TFlowControl, TCharacters, TBufferSizes and
// TTimeouts; TCustomComPort and the published TComPort. The event thread is
// in comthread.h, the signal component in comsignal.h.
#include "platform/classes/component.h"
#include "platform/classes/props.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sets.h"
#include "platform/win32/processpriority.h"
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TStrings;
class TComThread;
struct DCB;
struct OVERLAPPED;

class EComError : public Exception {
public:
    EComError(int code, const AnsiString& msg) : Exception(msg), ErrorCode(code) {}
    const char* ClassName() const noexcept override { return "EComError"; }
    int ErrorCode;
};

enum TBaudRate {
    brDefault,
    br50,
    br75,
    br110,
    br150,
    br300,
    br600,
    br1200,
    br1800,
    br2000,
    br2400,
    br3600,
    br4800,
    br7200,
    br9600,
    br10400,
    br14400,
    br15625,
    br19200,
    br28800,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brCustom
};
enum TDataBits { dbDefault, db4, db5, db6, db7, db8 };
enum TParity { paDefault, paNone, paOdd, paEven, paMark, paSpace };
enum TStopBits { sbDefault, sb1, sb1_5, sb2 };
enum TDTRControl { dcDefault, dcDisable, dcEnable, dcHandshake };
enum TRTSControl { rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle };
enum TXOnXOffControl { xcDefault, xcDisable, xcInput, xcOutput, xcInputOutput };
enum TOption {
    opCheckParity,
    opOutputCTSFlow,
    opOutputDSRFlow,
    opDSRSensitivity,
    opTXContinueOnXOff,
    opUseErrorChar,
    opDiscardNullBytes,
    opAbortOnError
};
using TOptions = TSet<TOption>;
enum TPriorityClass { pcDefault, pcIdle, pcNormal, pcHigh, pcRealTime };
enum TModemStatusValue { msCTS, msDSR, msRing, msRLSD };
using TModemStatus = TSet<TModemStatusValue>;
enum TLineError {
    leBreak,
    leDeviceNotSelected,
    leFrame,
    leIO,
    leMode,
    leOutOfPaper,
    leOverrun,
    leDeviceTimeOut,
    leRxOverflow,
    leParity,
    leTxFull
};
using TLineErrors = TSet<TLineError>;
enum TComAction { caFail, caAbort };
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

QM_ENUM_NAMES(TBaudRate, brDefault, br50, br75, br110, br150, br300, br600, br1200, br1800, br2000,
              br2400, br3600, br4800, br7200, br9600, br10400, br14400, br15625, br19200, br28800,
              br38400, br56000, br57600, br115200, br128000, br256000, brCustom)
QM_ENUM_NAMES(TDataBits, dbDefault, db4, db5, db6, db7, db8)
QM_ENUM_NAMES(TParity, paDefault, paNone, paOdd, paEven, paMark, paSpace)
QM_ENUM_NAMES(TStopBits, sbDefault, sb1, sb1_5, sb2)
QM_ENUM_NAMES(TDTRControl, dcDefault, dcDisable, dcEnable, dcHandshake)
QM_ENUM_NAMES(TRTSControl, rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle)
QM_ENUM_NAMES(TXOnXOffControl, xcDefault, xcDisable, xcInput, xcOutput, xcInputOutput)
QM_ENUM_NAMES(TOption, opCheckParity, opOutputCTSFlow, opOutputDSRFlow, opDSRSensitivity,
              opTXContinueOnXOff, opUseErrorChar, opDiscardNullBytes, opAbortOnError)
QM_ENUM_NAMES(TPriorityClass, pcDefault, pcIdle, pcNormal, pcHigh, pcRealTime)
QM_ENUM_NAMES(TModemStatusValue, msCTS, msDSR, msRing, msRLSD)
QM_ENUM_NAMES(TThreadPriority, tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest,
              tpTimeCritical)

class TCustomComPort;
using TOpenCloseEvent = std::function<void(TCustomComPort* ComPort)>;
using TReadWriteEvent =
    std::function<void(TObject* Sender, void* Buffer, int Length, bool WaitOnCompletion)>;
using TComErrorEvent =
    std::function<void(TCustomComPort* ComPort, EComError& E, TComAction& Action)>;
using TLineErrorEvent = std::function<void(TObject* Sender, TLineErrors LineErrors)>;

// A handler slot of the port whose assignment re-computes the device's event
// mask. Reads like a plain event member: `Port->OnRxChar = ...`, `if (Port->OnRxChar)`.
template <typename F> class TComEventSlot {
public:
    using Function = F;
    explicit TComEventSlot(TCustomComPort* port) : FPort(port) {}
    TComEventSlot(const TComEventSlot&) = delete;
    TComEventSlot& operator=(const TComEventSlot&) = delete;
    TComEventSlot& operator=(F handler);
    explicit operator bool() const { return static_cast<bool>(FHandler); }
    const F& Handler() const { return FHandler; }
    template <typename... A> void operator()(A&&... args) const {
        FHandler(std::forward<A>(args)...);
    }

private:
    TCustomComPort* FPort;
    F FHandler;
};

class TFlowControl : public TPersistent {
    QM_CLASS(TFlowControl)
public:
    explicit TFlowControl(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(TPersistent* Source) override;
    TCustomComPort* ComPort() const { return FComPort; }

    TDTRControl DTR() const { return FDTR; }
    void SetDTR(TDTRControl Value);
    TRTSControl RTS() const { return FRTS; }
    void SetRTS(TRTSControl Value);
    TXOnXOffControl XOnXOff() const { return FXOnXOff; }
    void SetXOnXOff(TXOnXOffControl Value);
    uint16_t XOnLimit() const { return FXOnLimit; }
    void SetXOnLimit(uint16_t Value);
    uint16_t XOffLimit() const { return FXOffLimit; }
    void SetXOffLimit(uint16_t Value);

private:
    friend class TCustomComPort;
    void Change(const std::function<void()>& Store);
    TCustomComPort* FComPort;
    TDTRControl FDTR = dcDefault;
    TRTSControl FRTS = rcDefault;
    TXOnXOffControl FXOnXOff = xcDefault;
    uint16_t FXOnLimit = 0, FXOffLimit = 0;
};

class TCharacters : public TPersistent {
    QM_CLASS(TCharacters)
public:
    explicit TCharacters(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(TPersistent* Source) override;

    char XOn() const { return FXOn; }
    void SetXOn(char Value);
    char XOff() const { return FXOff; }
    void SetXOff(char Value);
    char Error() const { return FError; }
    void SetError(char Value);
    char Eof() const { return FEof; }
    void SetEof(char Value);
    char Event() const { return FEvent; }
    void SetEvent(char Value);

private:
    friend class TCustomComPort;
    void Change(const std::function<void()>& Store);
    void Set(char& field, char value);
    TCustomComPort* FComPort;
    char FXOn = 17, FXOff = 19, FError = 0, FEof = 0, FEvent = 0;
};

class TBufferSizes : public TPersistent {
    QM_CLASS(TBufferSizes)
public:
    explicit TBufferSizes(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(TPersistent* Source) override;

    int Input() const { return FInput; }
    void SetInput(int Value);
    int Output() const { return FOutput; }
    void SetOutput(int Value);

private:
    void Set(int& field, int value);
    TCustomComPort* FComPort;
    int FInput = 4096, FOutput = 2048;
};

class TTimeouts : public TPersistent {
    QM_CLASS(TTimeouts)
public:
    explicit TTimeouts(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(TPersistent* Source) override;

    int ReadInterval() const { return FReadInterval; }
    void SetReadInterval(int Value);
    int ReadMultiplier() const { return FReadMultiplier; }
    void SetReadMultiplier(int Value);
    int ReadConstant() const { return FReadConstant; }
    void SetReadConstant(int Value);
    int WriteMultiplier() const { return FWriteMultiplier; }
    void SetWriteMultiplier(int Value);
    int WriteConstant() const { return FWriteConstant; }
    void SetWriteConstant(int Value);

private:
    void Set(int& field, int value);
    TCustomComPort* FComPort;
    int FReadInterval = 0, FReadMultiplier = 0, FReadConstant = 0, FWriteMultiplier = 0,
        FWriteConstant = 0;
};

class TCustomComPort : public TComponent {
    QM_CLASS(TCustomComPort)
public:
    explicit TCustomComPort(TComponent* AOwner);
    ~TCustomComPort() override;
    void Loaded() override;

    // ---- Opening and closing
    void Open();
    void Close();
    bool Active() const;
    void SetActive(bool Value);

    // ---- Settings
    AnsiString About() const;
    void SetAbout(const AnsiString&) {}
    TBaudRate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudRate Value);
    int CustomBaudRate() const;
    void SetCustomBaudRate(int Value);
    // Streams keep the custom rate only while it is the one in use.
    bool IsCustomBaudRateStored() const { return FBaudRate == brCustom; }
    TDataBits DataBits() const { return FDataBits; }
    void SetDataBits(TDataBits Value);
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TStopBits StopBits() const { return FStopBits; }
    void SetStopBits(TStopBits Value);
    const AnsiString& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const AnsiString& Value);
    // DeviceName without a leading "\\.\".
    AnsiString ShortDeviceName() const;
    TOptions Options() const { return FOptions; }
    void SetOptions(TOptions Value);
    TPriorityClass PriorityClass() const { return FPriorityClass; }
    void SetPriorityClass(TPriorityClass Value);
    bool SynchronizeEvents() const { return FSynchronizeEvents; }
    void SetSynchronizeEvents(bool Value);
    // Applied to the event thread when it starts and at once while it runs;
    // without the privilege for it the thread runs at the highest priority the
    // user may set below it, and the property keeps the value asked.
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value);

    TFlowControl* FlowControl() const { return FFlowControl.get(); }
    void SetFlowControl(TFlowControl* Value) { FFlowControl->Assign(Value); }
    TCharacters* Characters() const { return FCharacters.get(); }
    void SetCharacters(TCharacters* Value) { FCharacters->Assign(Value); }
    TBufferSizes* BufferSizes() const { return FBufferSizes.get(); }
    void SetBufferSizes(TBufferSizes* Value) { FBufferSizes->Assign(Value); }
    TTimeouts* Timeouts() const { return FTimeouts.get(); }
    void SetTimeouts(TTimeouts* Value) { FTimeouts->Assign(Value); }

    TModemStatus ModemStatus();
    // Read-only: a value a stream names changes nothing.
    void IgnoreModemStatus(TModemStatus) {}

    // ---- Events
    TOpenCloseEvent AfterClose, AfterOpen, BeforeClose, BeforeOpen;
    TReadWriteEvent AfterRead, AfterWrite, BeforeRead, BeforeWrite;
    TComErrorEvent OnError;
    TComEventSlot<TLineErrorEvent> OnLineError{this};
    TComEventSlot<TNotifyEvent> OnBreak{this}, OnCTSChange{this}, OnDSRChange{this}, OnEvent1{this},
        OnEvent2{this}, OnPrinterError{this}, OnRing{this}, OnRLSDChange{this},
        OnRx80PercFull{this}, OnRxChar{this}, OnRxFlag{this}, OnTxEmpty{this};

    // ---- Reading and writing. Without WaitOnCompletion a transfer that cannot
    // complete at once runs on after the call (a read into the caller's buffer,
    // which must stay until it ends; a write from a copy) and is pending until
    // it ends. The waits give the count; a transfer that had to wait and moved
    // fewer bytes than asked raises EComError "Timeout" (one that completed at
    // once with what was there does not). Returns the count known at return.
    int Read(void* Buffer, int Length, bool WaitOnCompletion);
    int Write(const void* Buffer, int Length, bool WaitOnCompletion);
    int WaitForReadCompletion();
    int WaitForWriteCompletion();
    bool ReadPending() const;
    bool WritePending() const;

    char ReadChar();
    char ReadAnsiChar() { return ReadChar(); }
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDWord();
    void WriteChar(char C);
    void WriteAnsiChar(char C) { WriteChar(C); }
    void WriteByte(uint8_t B);
    void WriteWord(uint16_t W);
    void WriteDWord(uint32_t D);
    void WriteString(const AnsiString& S);
    void WriteAnsiString(const AnsiString& S) { WriteString(S); }
    // What is queued now, possibly nothing; never waits for new bytes.
    AnsiString ReadString();
    AnsiString ReadAnsiString() { return ReadString(); }
    // Characters up to and including C, each within the read time-outs.
    AnsiString ReadUntil(char C);
    AnsiString ReadAnsiUntil(char C) { return ReadUntil(C); }
    AnsiString ReadLine() { return ReadUntil('\r'); }
    AnsiString ReadAnsiLine() { return ReadLine(); }
    int InputCount();
    int OutputCount();
    void TransmitChar(char C);

    // ---- Queues, lines and status
    void PurgeInput();
    void PurgeOutput();
    void ClearInput();
    void ClearOutput();
    void AbortInput();
    void AbortOutput();
    void Flush();
    void SetBreak();
    void ClearBreak();
    void SetDTR();
    void ClearDTR();
    void SetRTS();
    void ClearRTS();
    void SetXOn();
    void SetXOff();
    void ResetDevice();
    void CheckLineErrors();
    void ClearLineErrors();

    // ---- Configuration
    // A choice the port refuses raises EComError; the properties stay as they were.
    bool ConfigDialog();
    bool DefaultConfigDialog();
    static void EnumDevices(TStrings* List);
    static void EnumComDevices(TStrings* List);
    static void EnumComDevicesFromRegistry(TStrings* List);

    // Builds EComError, lets OnError turn it into a silent abort, raises it.
    [[noreturn]] void RaiseError(int Code, const AnsiString& Text);

    // Called by the option objects and handler slots.
    // Runs Store, which changes properties the device control block is built
    // from, and applies the block; when the port refuses it (or Store raises)
    // the properties are as they were before.
    void ChangeDCB(const std::function<void()>& Store);
    void ApplyDCB();
    void ApplyBufferSizes();
    void ApplyTimeouts();
    void ApplyEventMask();
    // Runs the handlers of one reported event mask (the event thread's
    // dispatch); none once Stop turned true, so a handler that closes or frees
    // the port is the last one called.
    void DispatchEvents(uint32_t Mask, const std::atomic<bool>& Stop);

protected:
    virtual void CreateHandle();

private:
    friend class TComThread;
    bool IsOpen() const;
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    void ReleaseHandle();
    void CheckOpen() const;
    void Check(int Result);
    uint32_t EventMask() const;
    void StartThread();
    void StopThread();
    void CopyToDCB(DCB& Dcb) const;
    void CopyFromDCB(const DCB& Dcb);
    // The properties the device control block is built from.
    struct TDCBProperties {
        TBaudRate BaudRate;
        int CustomBaudRate;
        TDataBits DataBits;
        TParity Parity;
        TStopBits StopBits;
        TOptions Options;
        TDTRControl DTR;
        TRTSControl RTS;
        TXOnXOffControl XOnXOff;
        uint16_t XOnLimit, XOffLimit;
        char XOn, XOff, Error, Eof, Event;
    };
    TDCBProperties DCBProperties() const;
    void SetDCBProperties(const TDCBProperties& Properties);
    void ApplyThreadPriority();

    void* FHandle;
    std::unique_ptr<TFlowControl> FFlowControl;
    std::unique_ptr<TCharacters> FCharacters;
    std::unique_ptr<TBufferSizes> FBufferSizes;
    std::unique_ptr<TTimeouts> FTimeouts;
    std::unique_ptr<TComThread> FThread;
    TBaudRate FBaudRate = brDefault;
    int FCustomBaudRate = 0;
    TDataBits FDataBits = dbDefault;
    TParity FParity = paDefault;
    TStopBits FStopBits = sbDefault;
    AnsiString FDeviceName = "COM1";
    TOptions FOptions;
    TPriorityClass FPriorityClass = pcDefault;
    bool FSynchronizeEvents = true;
    TThreadPriority FThreadPriority = tpTimeCritical;
    bool FStreamedActive = false;
    TPriorityClaim FPriorityClaim; // released with the handle
    uint32_t FLastThreadError = 0;
    // Manual-reset events, set while no transfer runs; the records of the
    // transfer in progress.
    void* FReadEvent = nullptr;
    void* FWriteEvent = nullptr;
    std::unique_ptr<OVERLAPPED> FReadOverlapped, FWriteOverlapped;
    int FReadRequested = 0, FReadDone = 0, FWriteRequested = 0, FWriteDone = 0;
    // The transfer went pending: it is held to its count when waited for.
    bool FReadWentPending = false, FWriteWentPending = false;
};

class TComPort : public TCustomComPort {
    QM_CLASS(TComPort)
public:
    explicit TComPort(TComponent* AOwner) : TCustomComPort(AOwner) {}
};

template <typename F> TComEventSlot<F>& TComEventSlot<F>::operator=(F handler) {
    FHandler = std::move(handler);
    FPort->ApplyEventMask();
    return *this;
}
