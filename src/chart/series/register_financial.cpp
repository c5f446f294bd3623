#include "chart/series/teeextraseries.h"

void RegisterTeeFinancialSeries() {}
