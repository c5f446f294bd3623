#pragma once
// The resistance meter's measurement window.
#include "app/instrumentform.h"
#include "platform/forms/buttons.h"
#include "platform/forms/stdctrls.h"

class TFormRXM850 : public TInstrumentForm {
    QM_CLASS(TFormRXM850)
public:
    explicit TFormRXM850(TComponent* AOwner);
    TMemo* MemoInfo;
    TBitBtn *BitBtn_start, *BitBtn_stop, *BitBtn_save;
};

extern TFormRXM850* FormRXM850;
