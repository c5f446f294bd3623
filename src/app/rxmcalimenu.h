#pragma once
// The resistance meter's calibration window.
#include "app/instrumentform.h"
#include "platform/forms/buttons.h"

class TFormRXMCali : public TInstrumentForm {
    QM_CLASS(TFormRXMCali)
public:
    explicit TFormRXMCali(TComponent* AOwner);
    TBitBtn* BitBtn_exit;
};

extern TFormRXMCali* FormRXMCali;
