#pragma once
// The pyramid series' page: size, border, pattern, colour.
#include "chart/editor/teeextrapage.h"

class TPyramidSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TPyramidSeriesEditor)
public:
    explicit TPyramidSeriesEditor(TComponent* AOwner);

    TEdit* Edit1 = nullptr;
    TUpDown* UDSize = nullptr;
    TButtonPen* BPen = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonColor* BColor = nullptr;
    TButton* Button1 = nullptr;

protected:
    void ShowSeries() override;
};
