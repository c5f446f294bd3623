#include "app/pgt300.h"

QM_CLASS_OWNED(TFormPGT300, TInstrumentForm, TComponent)

TFormPGT300* FormPGT300 = nullptr;

TFormPGT300::TFormPGT300(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("FormPGT300");
    SetCaption("PGT 300");
}
