#include "chart/series/teeextraseries.h"

void RegisterTeeStatSeries() {}
