#pragma once
// TComSignal lights a control while a port signal is active: modem lines while
// they are on, momentary events (a received character, a line error...) for
// Delay ms after the last one, and writes while they run. It works by taking
// over the port's handlers for its signal and passing each call on to the
// handler it replaced. The control's colour and the timer come from the host.
#include "comm/comport.h"
#include "platform/classes/watched.h"
#include <array>
#include <memory>

class TCommTimer;

enum TSignal {
    siNone,
    siBreak,
    siRxChar,
    siTxChar,
    siCTS,
    siDSR,
    siEvent1,
    siEvent2,
    siLineError,
    siPrinterError,
    siRing,
    siRLSD,
    siRx80PercFull,
    siRxFlag,
    siTxEmpty
};
QM_ENUM_NAMES(TSignal, siNone, siBreak, siRxChar, siTxChar, siCTS, siDSR, siEvent1, siEvent2,
              siLineError, siPrinterError, siRing, siRLSD, siRx80PercFull, siRxFlag, siTxEmpty)

class TComSignal : public TComponent {
    QM_CLASS(TComSignal)
public:
    explicit TComSignal(TComponent* AOwner);
    ~TComSignal() override;
    void Loaded() override;

    AnsiString About() const;
    void SetAbout(const AnsiString&) {}
    uint32_t ColorOff() const { return FColorOff; }
    void SetColorOff(uint32_t Value);
    uint32_t ColorOn() const { return FColorOn; }
    void SetColorOn(uint32_t Value) { FColorOn = Value; }
    TCustomComPort* ComPort() const { return FComPort; }
    void SetComPort(TCustomComPort* Value);
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value);
    int Delay() const { return FDelay; }
    void SetDelay(int Value);
    // Takes effect at the next hooking (loading, or a new ComPort).
    TSignal Signal() const { return FSignal; }
    void SetSignal(TSignal Value) { FSignal = Value; }
    bool SignalValue() const { return FSignalValue; }
    // Read-only: a value a stream names changes nothing.
    void IgnoreSignalValue(bool) {}

    TNotifyEvent OnSignal;

    // Handlers installed on the port (public for the port's calls only).
    void MomentaryEvent(TObject* Sender);
    void LineErrorEvent(TObject* Sender, TLineErrors Errors);
    void ModemEvent(TObject* Sender);
    void BeforeWriteEvent(TObject* Sender, void* Buffer, int Length, bool Wait);
    void AfterWriteEvent(TObject* Sender, void* Buffer, int Length, bool Wait);
    void OpenCloseEvent(TCustomComPort* Port, bool Opened);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Hook();
    void Unhook();
    // True when the port's handler is this component's own; where another
    // signal hooked the slot later and keeps this one's hook as the handler it
    // passes calls on to, that signal passes them on to what this one replaced.
    template <typename Hook, typename F> bool Unchain(const F& PortHandler, F TComSignal::*Saved);
    TComEventSlot<TNotifyEvent>* SignalSlot() const;
    // The port's notify handlers a signal can take over.
    std::array<TComEventSlot<TNotifyEvent>*, 12> NotifySlots() const;
    bool IsModemSignal() const;
    void ReadValue();
    void SetSignalValue(bool Value);
    void Recolour();
    void RestartTimer();
    void TimerTick();

    TWatched<TCustomComPort> FComPort;
    TWatched<TComponent> FControl;
    uint32_t FColorOff = 0x008000, FColorOn = 0x00FF00;
    int FDelay = 100;
    TSignal FSignal = siNone;
    bool FSignalValue = false;
    bool FWriting = false;
    bool FHooked = false;
    std::unique_ptr<TCommTimer> FTimer;
    // The port's handlers this component replaced.
    TOpenCloseEvent FSavedAfterOpen, FSavedAfterClose;
    TReadWriteEvent FSavedBeforeWrite, FSavedAfterWrite;
    TNotifyEvent FSavedNotify;
    TLineErrorEvent FSavedLineError;
};
