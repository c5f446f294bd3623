// Registration of the polar family, the Smith chart and the gauge: gallery
// pages "Extended" and "Other".
#include "chart/control/teeseriestypes.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepolar.h"

namespace {
// Referenced by the registry, so they live as long as the program.
AnsiString PageExtended = "Extended";
AnsiString PageOther = "Other";
AnsiString NamePolar = "Polar";
AnsiString NameRadar = "Radar";
} // namespace

void RegisterTeePolarSeries() {
    RegisterTeeSeries(&TPolarSeries::ClassInfo, &NamePolar, &PageExtended, 2);
    RegisterTeeSeries(&TRadarSeries::ClassInfo, &NameRadar, &PageExtended, 2);
}
