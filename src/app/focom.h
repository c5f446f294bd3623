#pragma once
// The hidden window that owns the one serial port of the instruments, and
// the bridge through which the instrument code reaches the windows.
#include "platform/forms/forms.h"

class TComPort;
class TComSignal;
class TMemo;
class TSaveDialog;

class TFoCom : public TForm {
    QM_CLASS(TFoCom)
public:
    explicit TFoCom(TComponent* AOwner);
    ~TFoCom() override;
    TComPort* ComPort1;
    TComSignal* ComSignal1; // no port: it lights nothing
    TMemo* MemoTestOutput;
    // The plate monitor's CSV files; no overwrite prompt, as a chosen file is
    // appended to.
    TSaveDialog* SaveDialog1;
};

extern TFoCom* FoCom;

// Every time-out the program gives the serial port passes through here (ms;
// 0 stays "none"). Tests divide them, so a silent instrument costs them little
// real time while the program keeps its own values.
int SerialTimeout(int Ms);

// The port's name as the operator chose it ("COM1"), from the device name.
AnsiString InstrumentPortName();
// A failure of a conversation on the port, as the operator is told it: the
// port's name, then what failed.
AnsiString PortFailureText(const std::exception& Failure);
// Inside a handler's catch: raises the exception being handled again; a
// failure of the port's conversation (EComError) as PortFailureText names it.
[[noreturn]] void RethrowNamingPort();
void SetSerialTimeoutDivisor(int Divisor);
