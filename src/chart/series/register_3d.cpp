// Registration of the 3D series: gallery pages "3D" and "Other".
#include "chart/control/teeseriestypes.h"
#include "chart/series/bar3d.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"

namespace {
// Referenced by the registry, so they live as long as the program.
AnsiString Page3D = "3D";
AnsiString PageOther = "Other";
AnsiString NameSurface = "Surface";
AnsiString NameWaterFall = "Water Fall";
AnsiString NameContour = "Contour";
AnsiString NameColorGrid = "Color Grid";
AnsiString NameVector = "Vector 3D";
AnsiString NameTower = "Tower";
AnsiString NamePoint3D = "Point 3D";
AnsiString NameBar3D = "Bar 3D";
AnsiString NameTriSurface = "Triangle Surf.";
} // namespace

void RegisterTee3DSeries() {
    RegisterTeeSeries(&TSurfaceSeries::ClassInfo, &NameSurface, &Page3D, 1);
    RegisterTeeSeries(&TContourSeries::ClassInfo, &NameContour, &Page3D, 1);
    RegisterTeeSeries(&TWaterFallSeries::ClassInfo, &NameWaterFall, &Page3D, 1);
    RegisterTeeSeries(&TColorGridSeries::ClassInfo, &NameColorGrid, &Page3D, 1);
    RegisterTeeSeries(&TVector3DSeries::ClassInfo, &NameVector, &Page3D, 1);
    RegisterTeeSeries(&TTowerSeries::ClassInfo, &NameTower, &Page3D, 1);
    RegisterTeeSeries(&TPoint3DSeries::ClassInfo, &NamePoint3D, &Page3D, 1);
    RegisterTeeSeries(&TTriSurfaceSeries::ClassInfo, &NameTriSurface, &Page3D, 1);
    RegisterTeeSeries(&TBar3DSeries::ClassInfo, &NameBar3D, &PageOther, 1);
}
