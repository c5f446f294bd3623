#pragma once
// The plate monitor's decay-test chart window.
#include "platform/forms/forms.h"

class TFormChartCPM : public TForm {
    QM_CLASS(TFormChartCPM)
public:
    explicit TFormChartCPM(TComponent* AOwner);
};

extern TFormChartCPM* FormChartCPM;
