// Registration of the polar family, the Smith chart and the gauge: gallery
// pages "Extended" and "Other".
#include "chart/control/teeseriestypes.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teegauges.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesmith.h"

namespace {
// Referenced by the registry, so they live as long as the program.
AnsiString PageExtended = "Extended";
AnsiString PageOther = "Other";
AnsiString NamePolar = "Polar";
AnsiString NameRadar = "Radar";
AnsiString NameWindRose = "Wind Rose";
AnsiString NameClock = "Clock";
AnsiString NameSmith = "Smith";
AnsiString NameGauge = "Gauge";
} // namespace

void RegisterTeePolarSeries() {
    RegisterTeeSeries(&TPolarSeries::ClassInfo, &NamePolar, &PageExtended, 2);
    RegisterTeeSeries(&TRadarSeries::ClassInfo, &NameRadar, &PageExtended, 2);
    RegisterTeeSeries(&TWindRoseSeries::ClassInfo, &NameWindRose, &PageOther, 1);
    RegisterTeeSeries(&TClockSeries::ClassInfo, &NameClock, &PageOther, 1);
    RegisterTeeSeries(&TSmithSeries::ClassInfo, &NameSmith, &PageExtended, 2);
    RegisterTeeSeries(&TGaugeSeries::ClassInfo, &NameGauge, &PageExtended, 1);
}
