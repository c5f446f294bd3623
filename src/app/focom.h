#pragma once
// The hidden window that owns the one serial port of the instruments, and
// the bridge through which the instrument code reaches the windows.
#include "platform/forms/forms.h"

class TComPort;

class TFoCom : public TForm {
    QM_CLASS(TFoCom)
public:
    explicit TFoCom(TComponent* AOwner);
    ~TFoCom() override;
    TComPort* ComPort1;
};

extern TFoCom* FoCom;
