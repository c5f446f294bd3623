#pragma once
// The donut series' page: the hole's size, then the pie's pages.
#include "chart/editor/teeextrapage.h"

class TDonutSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TDonutSeriesEditor)
public:
    explicit TDonutSeriesEditor(TComponent* AOwner);

    TEdit* EDonut = nullptr;
    TUpDown* UDDonut = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};
