#include "chart/series/teeextraseries.h"

void TeeExtraSeriesStartup() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterTee3DSeries();
    RegisterTeePolarSeries();
    RegisterTeeFinancialSeries();
    RegisterTeeStatSeries();
}
