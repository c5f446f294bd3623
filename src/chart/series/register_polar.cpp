#include "chart/series/teeextraseries.h"

void RegisterTeePolarSeries() {}
