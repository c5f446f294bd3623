#include "app/chartcpm.h"

QM_CLASS_OWNED(TFormChartCPM, TForm, TComponent)

TFormChartCPM* FormChartCPM = nullptr;

TFormChartCPM::TFormChartCPM(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormChartCPM");
    SetCaption("CPM 690 Chart");
}
