#pragma once
// The box series' page: position, whisker length, the median and whisker
// pens, and a pointer page for the box and each kind of outlier.
#include "chart/editor/teeextrapage.h"

class TBoxSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TBoxSeriesEditor)
public:
    explicit TBoxSeriesEditor(TComponent* AOwner);

    TEdit* EPos = nullptr;
    TEdit* ELength = nullptr;
    TButtonPen* BMedian = nullptr;
    TButtonPen* BWhisker = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};
