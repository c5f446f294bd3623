// The walls of the chart and the room they take; titles and legend around them.
#include "chart/control/chart.h"

int TCustomChart::CalcWallSize(TChartAxis* Axis) {
    (void)Axis;
    return 0;
}

void TCustomChart::CalcWallsRect() {
    CalcSize3DWalls();
}

void TCustomChart::DrawWalls() {}

void TCustomChart::DrawTitlesAndLegend(bool BeforeSeries) {
    (void)BeforeSeries;
}
