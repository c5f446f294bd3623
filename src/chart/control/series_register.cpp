// Registration of the standard series and functions when the library starts,
// so that chart files find them by class name before any editor exists.
#include "chart/control/series.h"
#include "chart/control/series_arrow.h"
#include "chart/control/series_bubble.h"
#include "chart/control/series_gantt.h"
#include "chart/control/series_shape.h"
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_hints.h"
#include "chart/engine/teeconst.h"

void RegisterTeeStandardSeries() {
    const AnsiString* page = &TeeMsg_GalleryStandard;
    RegisterTeeSeries(&TLineSeries::ClassInfo, &TeeMsg_GalleryLine, page, 2);
    RegisterTeeSeries(&TBarSeries::ClassInfo, &TeeMsg_GalleryBar, page, 2);
    RegisterTeeSeries(&THorizBarSeries::ClassInfo, &TeeMsg_GalleryHorizBar, page, 2);
    RegisterTeeSeries(&TAreaSeries::ClassInfo, &TeeMsg_GalleryArea, page, 2);
    RegisterTeeSeries(&TPointSeries::ClassInfo, &TeeMsg_GalleryPoint, page, 2);
    RegisterTeeSeries(&TPieSeries::ClassInfo, &TeeMsg_GalleryPie, page, 1);
    RegisterTeeSeries(&TFastLineSeries::ClassInfo, &TeeMsg_GalleryFastLine, page, 2);
    RegisterTeeSeries(&THorizLineSeries::ClassInfo, &TeeMsg_GalleryHorizLine, page, 1);
    RegisterTeeSeries(&THorizAreaSeries::ClassInfo, &TeeMsg_GalleryHorizArea, page, 1);
}

void TeeStandardSeriesStartup() {
    RegisterTeeStandardSeries();
    RegisterTeeSeries(&TChartShape::ClassInfo, &TeeMsg_GalleryShape, &TeeMsg_GalleryStandard, 2);
    RegisterTeeSeries(&TBubbleSeries::ClassInfo, &TeeMsg_GalleryBubble, &TeeMsg_GalleryStandard, 1);
    RegisterTeeSeries(&TGanttSeries::ClassInfo, &TeeMsg_GalleryGantt, &TeeMsg_GalleryStandard, 1);
    RegisterTeeSeries(&TArrowSeries::ClassInfo, &TeeMsg_GalleryArrow, &TeeMsg_GalleryExtended, 2);
    RegisterTeeStandardFunctions();
    TeeRegisterStandardTools();
}
