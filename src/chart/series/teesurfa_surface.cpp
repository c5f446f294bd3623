// Surface and water-fall series: cells walked back to front, coloured by value,
// as planes, wire frames or dots, with side walls and transparency.
#include "chart/control/chart.h"
#include "platform/classes/watched.h"
#include "chart/engine/teeprocs.h"
#include "chart/series/teesurfa.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TSurfaceSeries, TCustom3DGridSeries, TComponent)
QM_CLASS_OWNED(TWaterFallSeries, TSurfaceSeries, TComponent)

QM_PUBLISHED(TSurfaceSeries, Prop("DotFrame", &Self::DotFrame, &Self::SetDotFrame).Default(false),
             Prop("SideBrush", &Self::SideBrush), Prop("SideLines", &Self::SideLines),
             Prop("SmoothPalette", &Self::SmoothPalette, &Self::SetSmoothPalette).Default(false),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
             Prop("WireFrame", &Self::WireFrame, &Self::SetWireFrame).Default(false));

QM_PUBLISHED(TWaterFallSeries,
             Prop("WaterFall", &Self::WaterFall, &Self::SetWaterFall).Default(true),
             Prop("WaterLines", &Self::WaterLines));

TSurfaceSeries::TSurfaceSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FSideBrush = std::make_unique<TChartBrush>(changed);
    FSideBrush->SetStyle(bsClear);
    FSideLines = std::make_unique<TChartHiddenPen>(changed);
    FWaterLines = CreateChartPen();
    IInc = -1;
    IZInc = -1;
}

TSurfaceSeries::~TSurfaceSeries() = default;

void TSurfaceSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSurfaceSeries*>(Source)) {
        FDotFrame = s->FDotFrame;
        FSideBrush->Assign(s->FSideBrush.get());
        FSideLines->Assign(s->FSideLines.get());
        FSmoothPalette = s->FSmoothPalette;
        FTransparency = s->FTransparency;
        FWaterFall = s->FWaterFall;
        FWaterLines->Assign(s->FWaterLines.get());
        FWireFrame = s->FWireFrame;
    }
    TCustom3DGridSeries::Assign(Source);
}

void TSurfaceSeries::SetWireFrame(bool Value) {
    if (Value) {
        Pen()->SetVisible(true);
        FDotFrame = false;
    }
    SetBooleanProperty(FWireFrame, Value);
}

void TSurfaceSeries::SetDotFrame(bool Value) {
    if (Value) {
        Pen()->SetVisible(true);
        FWireFrame = false;
    }
    SetBooleanProperty(FDotFrame, Value);
}

TPoint TSurfaceSeries::CalcPointPos(int ValueIndex) {
    return TPoint(CalcXPos(ValueIndex), CalcYPos(ValueIndex));
}

// A node takes part in drawing only with finite values.
bool TSurfaceSeries::IsValidNode(int ValueIndex) {
    return std::isfinite(YValues()->Value(ValueIndex));
}

bool TSurfaceSeries::FourGridIndex(int X, int Z) {
    if (!ExistFourGridIndex(X, Z)) return false;
    const int v[4] = {ValueIndex0, ValueIndex1, ValueIndex2, ValueIndex3};
    for (int i = 0; i < 4; ++i) {
        if (!IsValidNode(v[i])) return false;
        Points[static_cast<size_t>(i)] = CalcPointPos(v[i]);
    }
    return true;
}

void TSurfaceSeries::PrepareCanvas() {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (!Pen()->Visible() && !FWireFrame && !FDotFrame)
        canvas->Pen()->SetStyle(psClear);
    else
        canvas->AssignVisiblePen(Pen());
    canvas->AssignBrush(Brush(), SeriesColor());
    // A picture object left empty (a brush page only looked at it) fills
    // nothing, as the canvas and a chart read back take it.
    const TPicture* image = Brush()->ImageIfAny();
    FBrushImage = !((UseColorRange() || UsePalette()) && !(image && image->Graphic()));
    if (FWireFrame || FDotFrame) canvas->Brush()->SetStyle(bsClear);
}

void TSurfaceSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    PrepareCanvas();
    const bool sides = !(FSideBrush->Style() == bsClear && !FSideLines->Visible());
    if (canvas->SupportsFullRotation()) {
        // Such a canvas orders the faces itself: the whole grid goes in one call.
        DrawWholeGrid(canvas);
        if (sides) DrawSides(false);
        return;
    }
    if (sides) {
        DrawSides(true);
        PrepareCanvas();
    }
    if (FTransparency > 0) FBlend = std::make_unique<TTeeBlend>(canvas, TRect(0, 0, 0, 0));
    const int k = FWaterFall ? 0 : 1;
    const int nx = NumXValues(), nz = NumZValues();
    int zFrom, zTo;
    if (chart->DepthAxis()->Inverted()) {
        IZInc = 1;
        zFrom = 1;
        zTo = nz - k;
    } else {
        IZInc = -1;
        zFrom = nz;
        zTo = k + 1;
    }
    int xFrom, xTo;
    if (!DrawValuesForward()) {
        IInc = 1;
        xFrom = nx - 1;
        xTo = 1;
    } else {
        IInc = -1;
        xFrom = 2;
        xTo = nx;
    }
    const int xStep = xFrom <= xTo ? 1 : -1;
    const int zStep = zFrom <= zTo ? 1 : -1;
    if (nx >= 2 && ((zStep > 0 && zFrom <= zTo) || (zStep < 0 && zFrom >= zTo)))
        for (int x = xFrom; x != xTo + xStep; x += xStep)
            for (int z = zFrom; z != zTo + zStep; z += zStep)
                DrawCell(x, z);
    FBlend.reset();
    if (sides) DrawSides(false);
}

// Node pairs along Z: (X, Z) and (X, Z + 1), both with a drawable point.
void TSurfaceSeries::DrawWholeGrid(TCanvas3D* Canvas) {
    TTeeBlend* blend =
        FTransparency > 0 ? Canvas->BeginBlending(TRect(0, 0, 0, 0), FTransparency) : nullptr;
    const TTeeCanvasSurfaceStyle style = FWireFrame ? tcsWire : FDotFrame ? tcsDot : tcsSolid;
    const auto node = [this](int Index, TPoint3D& P, TColor& C) {
        P = {CalcXPos(Index), CalcYPos(Index), CalcZPos(Index)};
        C = FBrushImage ? SeriesColor() : GetValueColor(Index);
    };
    const TCanvas3DPlaneFunction pair = [&](int X, int Z, TPoint3D& P0, TPoint3D& P1, TColor& C0,
                                            TColor& C1) {
        const int a = GridIndex(X, Z), b = GridIndex(X, Z + 1);
        if (a < 0 || b < 0 || !IsValidNode(a) || !IsValidNode(b)) return false;
        node(a, P0, C0);
        node(b, P1, C1);
        return true;
    };
    try {
        Canvas->Surface3D(style, FBrushImage, NumXValues(), NumZValues(), pair);
    } catch (...) {
        if (blend) Canvas->EndBlending(blend);
        throw;
    }
    if (blend) Canvas->EndBlending(blend);
}

void TSurfaceSeries::DrawCell(int X, int Z) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    int colorIndex;
    if (FWaterFall) {
        ValueIndex0 = GridIndex(X, Z);
        ValueIndex1 = GridIndex(X + IInc, Z);
        if (ValueIndex0 < 0 || ValueIndex1 < 0) return;
        if (!IsValidNode(ValueIndex0) || !IsValidNode(ValueIndex1)) return;
        Points[0] = CalcPointPos(ValueIndex0);
        Points[1] = CalcPointPos(ValueIndex1);
    } else if (!FourGridIndex(X, Z)) {
        return;
    }
    colorIndex = IInc == 1 ? ValueIndex0 : ValueIndex1;
    TColor color = GetValueColor(colorIndex);
    if (color == clNone) return;
    const int z0 = CalcZPos(ValueIndex0);
    const int z1 = FWaterFall ? z0 : CalcZPos(ValueIndex2);
    if (!FBrushImage) {
        if (FSmoothPalette && !FWaterFall) {
            const double* y = YValues()->Data();
            color = GetValueColorValue(
                (y[ValueIndex0] + y[ValueIndex1] + y[ValueIndex2] + y[ValueIndex3]) * 0.25);
        }
        if (FWireFrame)
            canvas->Pen()->SetColor(color);
        else
            canvas->Brush()->SetColor(color);
    }
    if (!FWaterFall) {
        if (FDotFrame) {
            const int v[4] = {ValueIndex0, ValueIndex1, ValueIndex2, ValueIndex3};
            for (int i = 0; i < 4; ++i)
                canvas->SetPixel3D(Points[static_cast<size_t>(i)].x,
                                   Points[static_cast<size_t>(i)].y, i < 2 ? z0 : z1,
                                   GetValueColor(v[i]));
        } else if (FBlend) {
            TPoint p[4];
            for (int i = 0; i < 4; ++i)
                p[i] = canvas->Calculate3DPosition(Points[static_cast<size_t>(i)], i < 2 ? z0 : z1);
            FBlend->SetRectangle(RectFromPolygon(p, 4));
            canvas->Polygon(p, 3);
            FBlend->DoBlend(FTransparency);
        } else {
            canvas->PlaneFour3D(Points, z0, z1);
        }
        return;
    }
    // Water fall: the area under the profile, then the profile and its water lines.
    const int bottom = GetVertAxis()->IEndPos;
    const TPoint b0(Points[0].x, bottom), b1(Points[1].x, bottom);
    if (!FWireFrame) {
        const TPenStyle old = canvas->Pen()->Style();
        canvas->Pen()->SetStyle(psClear);
        if (FBlend) {
            TPoint p[4] = {canvas->Calculate3DPosition(Points[0], z0),
                           canvas->Calculate3DPosition(Points[1], z0),
                           canvas->Calculate3DPosition(b1, z0),
                           canvas->Calculate3DPosition(b0, z0)};
            FBlend->SetRectangle(RectFromPolygon(p, 4));
            canvas->Polygon(p, 3);
            FBlend->DoBlend(FTransparency);
        } else {
            canvas->PlaneWithZ(Points[0], Points[1], b1, b0, z0);
        }
        canvas->Pen()->SetStyle(old);
    }
    if (Pen()->Visible()) {
        if (!FWireFrame) canvas->AssignVisiblePen(Pen());
        canvas->LineWithZ(Points[0], Points[1], z0);
    }
    if (FWaterLines->Visible()) {
        canvas->AssignVisiblePen(FWaterLines.get());
        canvas->VertLine3D(Points[0].x, Points[0].y, bottom, z0);
        canvas->VertLine3D(Points[1].x, Points[1].y, bottom, z0);
    }
}

void TSurfaceSeries::DrawSideWall(bool Column, int Index, int Floor) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    const int n = Column ? NumZValues() : NumXValues();
    for (int k = n; k >= 2; --k) {
        const int a = Column ? GridIndex(Index, k) : GridIndex(k, Index);
        const int b = Column ? GridIndex(Index, k - 1) : GridIndex(k - 1, Index);
        if (a < 0 || b < 0 || !IsValidNode(a) || !IsValidNode(b)) continue;
        const TPoint pa = CalcPointPos(a), pb = CalcPointPos(b);
        const int za = CalcZPos(a), zb = CalcZPos(b);
        if (Column) {
            // Along Z: points 0 and 1 at row k's depth, 2 and 3 at row k-1's.
            canvas->PlaneFour3D(TFourPoints{pa, TPoint(pa.x, Floor), TPoint(pb.x, Floor), pb}, za,
                                zb);
        } else {
            canvas->PlaneWithZ(pa, pb, TPoint(pb.x, Floor), TPoint(pa.x, Floor), za);
        }
    }
}

void TSurfaceSeries::DrawSides(bool Behind) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const int nx = NumXValues(), nz = NumZValues();
    if (nx < 2 || nz < 2) return;
    const bool vertInverted = GetVertAxis()->Inverted();
    const int floor = GetVertAxis()->CalcYPosValue(vertInverted ? MaxYValue() : MinYValue());
    canvas->AssignBrush(FSideBrush.get(), FSideBrush->Color());
    if (FSideLines->Visible())
        canvas->AssignVisiblePen(FSideLines.get());
    else
        canvas->Pen()->SetStyle(psClear);
    // A wall lies behind the surface when it faces away from the viewer.
    const auto facesAway = [&](bool Column, int Index) {
        const int a = Column ? GridIndex(Index, 1) : GridIndex(1, Index);
        const int b = Column ? GridIndex(Index, nz) : GridIndex(nx, Index);
        if (a < 0 || b < 0) return true;
        const TPoint pa = canvas->Calculate3DPosition(CalcXPos(a), floor, CalcZPos(a));
        const TPoint pb = canvas->Calculate3DPosition(CalcXPos(b), floor, CalcZPos(b));
        const TPoint pt = canvas->Calculate3DPosition(CalcXPos(a), floor - 10, CalcZPos(a));
        return TeeCull(pa, pb, pt);
    };
    const bool hInverted = GetHorizAxis()->Inverted();
    const int leftCol = hInverted ? nx : 1, rightCol = hInverted ? 1 : nx;
    // The left and right walls go where the chart puts its own side walls.
    auto* owner = dynamic_cast<TCustomChart*>(chart);
    const bool leftBehind = owner ? owner->DrawLeftWallFirst() : facesAway(true, leftCol);
    const bool rightBehind = owner ? !owner->DrawRightWallAfter() : !facesAway(true, rightCol);
    if (leftBehind == Behind) DrawSideWall(true, leftCol, floor);
    if (rightBehind == Behind) DrawSideWall(true, rightCol, floor);
    const int frontRow = chart->DepthAxis()->Inverted() ? nz : 1;
    if (facesAway(false, frontRow) != Behind) {
        DrawSideWall(false, frontRow, floor);
        const int a = GridIndex(nx, frontRow);
        if (a >= 0 && IsValidNode(a)) {
            canvas->Pen()->SetStyle(psSolid);
            canvas->VertLine3D(CalcXPos(a), CalcYPos(a), floor, CalcZPos(a));
        }
    }
}

int TSurfaceSeries::Clicked(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0 || NumXValues() < 2) return -1;
    TCanvas3D* canvas = chart->Canvas();
    IInc = -1;
    IZInc = -1;
    for (int x = 2; x <= NumXValues(); ++x)
        for (int z = 2; z <= NumZValues(); ++z) {
            if (!FourGridIndex(x, z)) continue;
            const int z0 = CalcZPos(ValueIndex0), z1 = CalcZPos(ValueIndex2);
            TPoint p[4];
            for (int i = 0; i < 4; ++i)
                p[i] = canvas->Calculate3DPosition(Points[static_cast<size_t>(i)], i < 2 ? z0 : z1);
            if (PointInPolygon(TPoint(X, Y), p, 3)) return ValueIndex0;
        }
    return -1;
}

void TSurfaceSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetSampling(true);
    TTeeFinally restore([this] { SetSampling(false); });
    CreateValues(10, 10);
}

void TSurfaceSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    AddSubChart("Wireframe");
    AddSubChart("Dot Frame");
    AddSubChart("Sides");
    AddSubChart("No Border");
}

void TSurfaceSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TSurfaceSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 2:
        s->SetWireFrame(true);
        break;
    case 3:
        s->SetDotFrame(true);
        break;
    case 4:
        s->SideBrush()->SetStyle(bsSolid);
        break;
    case 5:
        s->Pen()->SetVisible(false);
        break;
    default:
        TCustom3DGridSeries::SetSubGallery(Series, Index);
    }
}

TWaterFallSeries::TWaterFallSeries(TComponent* AOwner) : TSurfaceSeries(AOwner) {
    FWaterFall = true;
}

void TWaterFallSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TSurfaceSeries::CreateSubGallery(AddSubChart);
    if (AddSubChart) AddSubChart("No Lines");
}

void TWaterFallSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TSurfaceSeries*>(Series);
    if (Index == 6 && s)
        s->WaterLines()->SetVisible(false);
    else
        TSurfaceSeries::SetSubGallery(Series, Index);
}

void TWaterFallSeries::GalleryChanged3D(bool Is3D) {
    TCallOut held{this};
    TSurfaceSeries::GalleryChanged3D(Is3D);
    if (held.Gone()) return;
    if (ParentChart()) ParentChart()->SetView3D(Is3D);
}
