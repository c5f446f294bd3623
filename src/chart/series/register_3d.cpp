#include "chart/series/teeextraseries.h"

void RegisterTee3DSeries() {}
