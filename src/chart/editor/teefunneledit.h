#pragma once
// The funnel series' page: the difference limit, lines, border, pattern and
// the three segment colours.
#include "chart/editor/teeextrapage.h"

class TFunnelSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TFunnelSeriesEditor)
public:
    explicit TFunnelSeriesEditor(TComponent* AOwner);

    TEdit* Edit1 = nullptr;
    TUpDown* DifLimit = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TButtonPen* ButtonPen2 = nullptr;
    TButton* Button1 = nullptr;
    TButtonColor* AboveColor = nullptr;
    TButtonColor* WithinColor = nullptr;
    TButtonColor* BelowColor = nullptr;

protected:
    void ShowSeries() override;
};
