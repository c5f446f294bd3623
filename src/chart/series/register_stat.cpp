// Registration of the statistical and shaped series: gallery pages "Stats",
// "Extended", "Financial" and "Other".
#include "chart/control/teeseriestypes.h"
#include "chart/series/errorbar.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teecalendar.h"
#include "chart/series/histogram.h"
#include "chart/series/imagebar.h"
#include "chart/series/mypoint.h"
#include "chart/series/teebezie.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teefunnel.h"
#include "chart/series/teemapseries.h"
#include "chart/series/teepointfigure.h"

namespace {
// Referenced by the registry, so they live as long as the program.
AnsiString PageStats = "Stats";
AnsiString PageExtended = "Extended";
AnsiString PageFinancial = "Financial";
AnsiString PageOther = "Other";
AnsiString NameCalendar = "Calendar";
AnsiString NameBezier = "Bezier";
AnsiString NameMap = "Map";
AnsiString NameImageBar = "ImageBar";
AnsiString NameImagePoint = "ImagePoint";
AnsiString NameDeltaPoint = "DeltaPoint";
AnsiString NameLinePoint = "Line Point";
AnsiString NameBarJoin = "Bar Join";
AnsiString NameErrorBar = "Error Bar";
AnsiString NameError = "Error";
AnsiString NameHighLow = "High-Low";
AnsiString NameBox = "BoxPlot";
AnsiString NameHistogram = "Histogram";
AnsiString NamePointFigure = "Point & Figure";
AnsiString NameFunnel = "Funnel";
AnsiString NamePyramid = "Pyramid";
AnsiString NameDonut = "Donut";
AnsiString NameHorizBox = "Horizontal\rBoxPlot";
} // namespace

void RegisterTeeStatSeries() {
    RegisterTeeSeries(&TErrorBarSeries::ClassInfo, &NameErrorBar, &PageStats, 1);
    RegisterTeeSeries(&TErrorSeries::ClassInfo, &NameError, &PageStats, 1);
    RegisterTeeSeries(&THighLowSeries::ClassInfo, &NameHighLow, &PageStats, 1);
    RegisterTeeSeries(&TBoxSeries::ClassInfo, &NameBox, &PageStats, 2);
    RegisterTeeSeries(&THorizBoxSeries::ClassInfo, &NameHorizBox, &PageStats, 2);
    RegisterTeeSeries(&THistogramSeries::ClassInfo, &NameHistogram, &PageStats, 1);
    RegisterTeeSeries(&TPointFigureSeries::ClassInfo, &NamePointFigure, &PageFinancial, 1);
    RegisterTeeSeries(&TFunnelSeries::ClassInfo, &NameFunnel, &PageStats, 1);
    RegisterTeeSeries(&TPyramidSeries::ClassInfo, &NamePyramid, &PageExtended, 2);
    RegisterTeeSeries(&TDonutSeries::ClassInfo, &NameDonut, &PageExtended, 1);
    RegisterTeeSeries(&TCalendarSeries::ClassInfo, &NameCalendar, &PageOther, 1);
    RegisterTeeSeries(&TBezierSeries::ClassInfo, &NameBezier, &PageExtended, 1);
    RegisterTeeSeries(&TMyPointSeries::ClassInfo, &NameLinePoint, &PageOther, 1);
    RegisterTeeSeries(&TBarJoinSeries::ClassInfo, &NameBarJoin, &PageOther, 1);
    RegisterTeeSeries(&TMapSeries::ClassInfo, &NameMap, &PageExtended, 1);
    RegisterTeeSeries(&TImageBarSeries::ClassInfo, &NameImageBar, &PageOther, 1);
    RegisterTeeSeries(&TImagePointSeries::ClassInfo, &NameImagePoint, &PageOther, 1);
    RegisterTeeSeries(&TDeltaPointSeries::ClassInfo, &NameDeltaPoint, &PageOther, 1);
}
