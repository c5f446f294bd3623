#pragma once
// The grounding tester's window.
#include "app/instrumentform.h"

class TFormPGT300 : public TInstrumentForm {
    QM_CLASS(TFormPGT300)
public:
    explicit TFormPGT300(TComponent* AOwner);
};

extern TFormPGT300* FormPGT300;
