#pragma once
// The donut series (unit Teedonut): a pie with a hole whose size is stored.
#include "chart/control/series_pie.h"

class TDonutSeries : public TPieSeries {
    QM_CLASS(TDonutSeries)
public:
    explicit TDonutSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    void Loaded() override;
    AnsiString GetEditorClass() override { return "TDonutSeriesEditor"; }
};
