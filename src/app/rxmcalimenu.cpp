#include "app/rxmcalimenu.h"

QM_CLASS_OWNED(TFormRXMCali, TInstrumentForm, TComponent)

TFormRXMCali* FormRXMCali = nullptr;

TFormRXMCali::TFormRXMCali(TComponent* AOwner) : TInstrumentForm(AOwner, true) {
    SetName("FormRXMCali");
    SetCaption("RXM 850 Calibration");
    BitBtn_exit = NewControl<TBitBtn>(this, this, "BitBtn_exit", 8, 400, 120, 36, "E&xit");
    BitBtn_exit->OnClick = [this](TObject*) { Close(); };
}
