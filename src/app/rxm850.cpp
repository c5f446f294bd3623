#include "app/rxm850.h"

QM_CLASS_OWNED(TFormRXM850, TInstrumentForm, TComponent)

TFormRXM850* FormRXM850 = nullptr;

TFormRXM850::TFormRXM850(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("FormRXM850");
    SetCaption("RXM 850");
    MemoInfo = NewControl<TMemo>(this, this, "MemoInfo", 8, 8, 620, 380);
    MemoInfo->SetReadOnly(true);
    BitBtn_start = NewControl<TBitBtn>(this, this, "BitBtn_start", 8, 400, 120, 36, "&Start");
    BitBtn_stop = NewControl<TBitBtn>(this, this, "BitBtn_stop", 136, 400, 120, 36, "S&top");
    BitBtn_save = NewControl<TBitBtn>(this, this, "BitBtn_save", 264, 400, 120, 36, "Sa&ve");
}
