#include "app/instrumentform.h"
#include "app/focom.h"
#include "app/main.h"
#include "comm/comport.h"

QM_CLASS_ABSTRACT(TInstrumentForm, TForm)

TInstrumentForm::TInstrumentForm(TComponent* AOwner, bool EnableView)
    : TForm(AOwner), FEnableView(EnableView) {
    Font()->SetName("Arial");
    SetBounds((Screen->Width() - 640) / 2, (Screen->Height() - 480) / 2 + 20, 640, 480);
}

void TInstrumentForm::DoClose(TCloseAction& Action) {
    TForm::DoClose(Action);
    if (FoCom) FoCom->ComPort1->Close();
    if (MainForm) MainForm->InstrumentWindowEnded(FEnableView);
}
