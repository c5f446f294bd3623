#include "comm/comsignal.h"
#include "comm/commhost.h"

QM_CLASS_OWNED(TComSignal, TComponent, TComponent)
QM_PUBLISHED(
    TComSignal, Prop("About", &Self::About, &Self::SetAbout).Stored(false),
    Prop("ColorOff", &Self::ColorOff, &Self::SetColorOff).Default(0x008000).Idents("TColor"),
    Prop("ColorOn", &Self::ColorOn, &Self::SetColorOn).Default(0x00FF00).Idents("TColor"),
    Prop("ComPort", &Self::ComPort, &Self::SetComPort),
    Prop("Control", &Self::Control, &Self::SetControl),
    Prop("Delay", &Self::Delay, &Self::SetDelay).Default(100),
    Prop("Signal", &Self::Signal, &Self::SetSignal).Default(siNone),
    Prop("SignalValue", &Self::SignalValue, &Self::IgnoreSignalValue).Default(false).Stored(false),
    Prop("OnSignal", &Self::OnSignal));

namespace {
// The handlers put on the port are these functors, so unhooking can tell
// whether a port handler is still this component's own. A signal freed with
// its port (both going with their form) cannot take them back: they then do
// nothing.
struct TOpenCloseHook {
    TWatched<TComSignal> Signal;
    bool Opened;
    void operator()(TCustomComPort* port) const {
        if (TComSignal* s = Signal) s->OpenCloseEvent(port, Opened);
    }
};
struct TNotifyHook {
    TWatched<TComSignal> Signal;
    bool Modem;
    void operator()(TObject* sender) const {
        if (TComSignal* s = Signal) Modem ? s->ModemEvent(sender) : s->MomentaryEvent(sender);
    }
};
struct TLineErrorHook {
    TWatched<TComSignal> Signal;
    void operator()(TObject* sender, TLineErrors errors) const {
        if (TComSignal* s = Signal) s->LineErrorEvent(sender, errors);
    }
};
struct TWriteHook {
    TWatched<TComSignal> Signal;
    bool Before;
    void operator()(TObject* sender, void* buffer, int length, bool wait) const {
        TComSignal* s = Signal;
        if (!s) return;
        Before ? s->BeforeWriteEvent(sender, buffer, length, wait)
               : s->AfterWriteEvent(sender, buffer, length, wait);
    }
};

template <typename Hook, typename F> bool IsOwn(const F& handler, const TComSignal* signal) {
    const Hook* hook = handler.template target<Hook>();
    return hook && hook->Signal.Is(signal);
}
} // namespace

TComSignal::TComSignal(TComponent* AOwner) : TComponent(AOwner), FTimer(CommHost().CreateTimer()) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(FDelay);
    FTimer->OnTimer = [this] { TimerTick(); };
}

TComSignal::~TComSignal() {
    Destroying();
    Unhook();
    if (FComPort) FComPort->RemoveFreeNotification(this);
    if (FControl) FControl->RemoveFreeNotification(this);
    FTimer->SetEnabled(false);
}

void TComSignal::Loaded() {
    TComponent::Loaded();
    Hook();
}

AnsiString TComSignal::About() const {
    return "Serial port signal indicator";
}

bool TComSignal::IsModemSignal() const {
    return FSignal == siCTS || FSignal == siDSR || FSignal == siRing || FSignal == siRLSD;
}

std::array<TComEventSlot<TNotifyEvent>*, 12> TComSignal::NotifySlots() const {
    TCustomComPort& p = *FComPort.Get();
    return {&p.OnBreak,        &p.OnRxChar,       &p.OnEvent1, &p.OnEvent2,
            &p.OnPrinterError, &p.OnRx80PercFull, &p.OnRxFlag, &p.OnTxEmpty,
            &p.OnCTSChange,    &p.OnDSRChange,    &p.OnRing,   &p.OnRLSDChange};
}

TComEventSlot<TNotifyEvent>* TComSignal::SignalSlot() const {
    if (!FComPort) return nullptr;
    switch (FSignal) {
    case siBreak:
        return &FComPort->OnBreak;
    case siRxChar:
        return &FComPort->OnRxChar;
    case siEvent1:
        return &FComPort->OnEvent1;
    case siEvent2:
        return &FComPort->OnEvent2;
    case siPrinterError:
        return &FComPort->OnPrinterError;
    case siRx80PercFull:
        return &FComPort->OnRx80PercFull;
    case siRxFlag:
        return &FComPort->OnRxFlag;
    case siTxEmpty:
        return &FComPort->OnTxEmpty;
    case siCTS:
        return &FComPort->OnCTSChange;
    case siDSR:
        return &FComPort->OnDSRChange;
    case siRing:
        return &FComPort->OnRing;
    case siRLSD:
        return &FComPort->OnRLSDChange;
    default:
        return nullptr;
    }
}

void TComSignal::Hook() {
    if (!FComPort || FHooked || IsLoading() || ComponentState().Contains(csDesigning)) return;
    FHooked = true;
    FSavedAfterOpen = FComPort->AfterOpen;
    FSavedAfterClose = FComPort->AfterClose;
    FComPort->AfterOpen = TOpenCloseHook{this, true};
    FComPort->AfterClose = TOpenCloseHook{this, false};
    if (TComEventSlot<TNotifyEvent>* slot = SignalSlot()) {
        FSavedNotify = slot->Handler();
        *slot = TNotifyHook{this, IsModemSignal()};
    } else if (FSignal == siLineError) {
        FSavedLineError = FComPort->OnLineError.Handler();
        FComPort->OnLineError = TLineErrorHook{this};
    } else if (FSignal == siTxChar) {
        FSavedBeforeWrite = FComPort->BeforeWrite;
        FSavedAfterWrite = FComPort->AfterWrite;
        FComPort->BeforeWrite = TWriteHook{this, true};
        FComPort->AfterWrite = TWriteHook{this, false};
    }
    ReadValue();
}

template <typename Hook, typename F>
bool TComSignal::Unchain(const F& PortHandler, F TComSignal::*Saved) {
    if (IsOwn<Hook>(PortHandler, this)) return true;
    const F* at = &PortHandler;
    // Two lamps on one port chain at least on AfterOpen and AfterClose.
    for (const Hook* later = at->template target<Hook>(); later && !later->Signal.Is(this);
         later = at->template target<Hook>()) {
        TComSignal* other = later->Signal;
        if (!other) return false; // a lamp gone since ends the chain
        F& passedOn = other->*Saved;
        if (IsOwn<Hook>(passedOn, this)) {
            passedOn = this->*Saved;
            return false;
        }
        at = &passedOn;
    }
    return false;
}

void TComSignal::Unhook() {
    if (!FComPort || !FHooked || ComponentState().Contains(csDesigning)) return;
    FHooked = false;
    TCustomComPort& p = *FComPort.Get();
    if (Unchain<TOpenCloseHook>(p.AfterOpen, &TComSignal::FSavedAfterOpen))
        p.AfterOpen = FSavedAfterOpen;
    if (Unchain<TOpenCloseHook>(p.AfterClose, &TComSignal::FSavedAfterClose))
        p.AfterClose = FSavedAfterClose;
    // Every slot: Signal may have changed since the hooking.
    for (TComEventSlot<TNotifyEvent>* slot : NotifySlots())
        if (Unchain<TNotifyHook>(slot->Handler(), &TComSignal::FSavedNotify)) *slot = FSavedNotify;
    if (Unchain<TLineErrorHook>(p.OnLineError.Handler(), &TComSignal::FSavedLineError))
        p.OnLineError = FSavedLineError;
    if (Unchain<TWriteHook>(p.BeforeWrite, &TComSignal::FSavedBeforeWrite))
        p.BeforeWrite = FSavedBeforeWrite;
    if (Unchain<TWriteHook>(p.AfterWrite, &TComSignal::FSavedAfterWrite))
        p.AfterWrite = FSavedAfterWrite;
    FSavedAfterOpen = FSavedAfterClose = nullptr;
    FSavedBeforeWrite = FSavedAfterWrite = nullptr;
    FSavedNotify = nullptr;
    FSavedLineError = nullptr;
}

void TComSignal::SetComPort(TCustomComPort* Value) {
    if (Value == FComPort) return;
    Unhook();
    if (FComPort) FComPort->RemoveFreeNotification(this);
    FComPort = Value;
    if (FComPort) FComPort->FreeNotification(this);
    Hook();
    ReadValue();
}

void TComSignal::SetControl(TComponent* Value) {
    if (Value == FControl) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
    Recolour();
}

void TComSignal::SetColorOff(uint32_t Value) {
    FColorOff = Value;
    Recolour();
}

void TComSignal::SetDelay(int Value) {
    FDelay = Value;
    FTimer->SetInterval(Value);
}

void TComSignal::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FComPort.Is(AComponent)) {
        // A port being freed reads gone already and has no handlers left
        // worth restoring; one only taken from its owner is unhooked.
        Unhook();
        FHooked = false;
        FComPort = nullptr;
        ReadValue();
    }
    if (FControl.Is(AComponent)) FControl = nullptr;
}

void TComSignal::Recolour() {
    if (FControl) CommHost().SetControlColor(FControl, FSignalValue ? FColorOn : FColorOff);
}

void TComSignal::SetSignalValue(bool Value) {
    if (Value == FSignalValue) return;
    FSignalValue = Value;
    Recolour();
    if (OnSignal) OnSignal(this);
}

void TComSignal::ReadValue() {
    bool value = false;
    if (FComPort && FComPort->Active() && IsModemSignal()) {
        const TModemStatus status = FComPort->ModemStatus();
        const TModemStatusValue line = FSignal == siCTS    ? msCTS
                                       : FSignal == siDSR  ? msDSR
                                       : FSignal == siRing ? msRing
                                                           : msRLSD;
        value = status.Contains(line);
    }
    SetSignalValue(value);
}

void TComSignal::RestartTimer() {
    FTimer->SetEnabled(false);
    FTimer->SetEnabled(true);
}

void TComSignal::TimerTick() {
    if (FSignal == siTxChar && FWriting) return; // lit for as long as the write runs
    FTimer->SetEnabled(false);
    SetSignalValue(false);
}

void TComSignal::MomentaryEvent(TObject* Sender) {
    SetSignalValue(true);
    RestartTimer();
    if (FSavedNotify) FSavedNotify(Sender);
}

void TComSignal::LineErrorEvent(TObject* Sender, TLineErrors Errors) {
    SetSignalValue(true);
    RestartTimer();
    if (FSavedLineError) FSavedLineError(Sender, Errors);
}

void TComSignal::ModemEvent(TObject* Sender) {
    ReadValue();
    if (FSavedNotify) FSavedNotify(Sender);
}

void TComSignal::BeforeWriteEvent(TObject* Sender, void* Buffer, int Length, bool Wait) {
    SetSignalValue(true);
    FWriting = true;
    RestartTimer();
    if (FSavedBeforeWrite) FSavedBeforeWrite(Sender, Buffer, Length, Wait);
}

void TComSignal::AfterWriteEvent(TObject* Sender, void* Buffer, int Length, bool Wait) {
    FWriting = false;
    if (FSavedAfterWrite) FSavedAfterWrite(Sender, Buffer, Length, Wait);
}

void TComSignal::OpenCloseEvent(TCustomComPort* Port, bool Opened) {
    ReadValue();
    const TOpenCloseEvent& saved = Opened ? FSavedAfterOpen : FSavedAfterClose;
    if (saved) saved(Port);
}
