// 3D point series: pointers spanning their own depth, 3D lines between points,
// clicks tested at each point's depth.
#include "chart/series/teepoin3.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>

QM_CLASS_OWNED(TPoint3DSeries, TCustom3DSeries, TComponent)

QM_PUBLISHED(TPoint3DSeries, Prop("DepthSize", &Self::DepthSize, &Self::SetDepthSize),
             Prop("LinePen", &Self::LinePen), Prop("Pointer", &Self::Pointer),
             Prop("OnClickPointer", &Self::OnClickPointer),
             Prop("OnGetPointerStyle", &Self::OnGetPointerStyle));

TPoint3DSeries::TPoint3DSeries(TComponent* AOwner) : TCustom3DSeries(AOwner) {
    FPointer = std::make_unique<TSeriesPointer>(this);
}

TPoint3DSeries::~TPoint3DSeries() = default;

void TPoint3DSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPoint3DSeries*>(Source)) {
        FPointer->Assign(s->FPointer.get());
        FDepthSize = s->FDepthSize;
    }
    TCustom3DSeries::Assign(Source);
}

void TPoint3DSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCustom3DSeries::SetParentChart(Value);
    // The legend draws the pointer on the chart the pointer knows.
    if (FPointer) FPointer->SetParent(Value);
}

void TPoint3DSeries::CalcZPositions(int ValueIndex, int& StartZ, int& MiddleZ, int& EndZ) {
    MiddleZ = CalcZPos(ValueIndex);
    int size = 0;
    if (ParentChart() && ParentChart()->DepthAxis())
        size = ParentChart()->DepthAxis()->CalcSizeValue(FDepthSize);
    const int half = std::max(1, size / 2);
    StartZ = MiddleZ - half;
    EndZ = MiddleZ + half;
}

void TPoint3DSeries::DrawAllValues() {
    FFirstDrawn = DrawValuesForward() ? FirstVisibleIndex() : LastVisibleIndex();
    // The pointer draws in the series' depth slot; each point lends it its own.
    const int s = StartZ(), m = MiddleZ(), e = EndZ();
    TTeeFinally restore([this, s, m, e] { SetDepthSlot(s, m, e); });
    TCustom3DSeries::DrawAllValues();
}

void TPoint3DSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    int z0, zm, z1;
    CalcZPositions(ValueIndex, z0, zm, z1);
    const int x = CalcXPos(ValueIndex), y = CalcYPos(ValueIndex);
    if (FPointer->Visible()) {
        const TColor color = GetValueColor(ValueIndex);
        FPointer->PrepareCanvas(canvas, color);
        const TSeriesPointerStyle style =
            OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
        SetDepthSlot(z0, zm, z1);
        FPointer->DrawPointer(canvas, chart->View3D(), x, y, FPointer->HorizSize(),
                              FPointer->VertSize(), color, style);
    }
    if (ValueIndex != FFirstDrawn && Pen()->Visible()) {
        canvas->AssignVisiblePen(Pen());
        canvas->SetBackMode(cbmTransparent);
        canvas->MoveTo3D(FOldX, FOldY, FOldZ);
        canvas->LineTo3D(x, y, zm);
    }
    FOldX = x;
    FOldY = y;
    FOldZ = zm;
}

void TPoint3DSeries::DrawMark(int ValueIndex, const AnsiString& St,
                              TSeriesMarkPosition* APosition) {
    int z0, zm, z1;
    CalcZPositions(ValueIndex, z0, zm, z1);
    Marks()->ApplyArrowLength(*APosition);
    TCustom3DSeries::DrawMark(ValueIndex, St, APosition);
    (void)z1;
    Marks()->ZPosition = FPointer->Visible() ? zm : z0;
}

void TPoint3DSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    if (!FPointer->Visible()) {
        TCustom3DSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    const TColor c = ValueIndex == -1 ? SeriesColor() : GetValueColor(ValueIndex);
    TeePointerDrawLegend(FPointer.get(), c, Rect, Pen()->Visible());
}

void TPoint3DSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TCustom3DSeries::CalcHorizMargins(LeftMargin, RightMargin);
    FPointer->CalcHorizMargins(LeftMargin, RightMargin);
}

void TPoint3DSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TCustom3DSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    FPointer->CalcVerticalMargins(TopMargin, BottomMargin);
}

double TPoint3DSeries::MaxZValue() {
    return TCustom3DSeries::MaxZValue() + FDepthSize;
}

int TPoint3DSeries::Clicked(int X, int Y) {
    const int base = TCustom3DSeries::Clicked(X, Y);
    TCustomAxisPanel* chart = ParentChart();
    if (base != -1 || !chart || !FPointer->Visible()) return base;
    TCanvas3D* canvas = chart->Canvas();
    for (int i = 0; i < Count(); ++i) {
        int mx = X, my = Y;
        canvas->Calculate2DPosition(mx, my, CalcZPos(i));
        if (std::abs(mx - CalcXPos(i)) < FPointer->HorizSize() &&
            std::abs(my - CalcYPos(i)) < FPointer->VertSize()) {
            // The handler may free the series, the chart or its form: then
            // nothing was hit that is still there.
            TCallOut held{this, chart, ChartForm()};
            if (OnClickPointer) OnClickPointer(this, i, X, Y);
            if (held.Gone()) return -1;
            return i;
        }
    }
    return -1;
}

void TPoint3DSeries::AddSampleValues(int NumValues) {
    for (int i = 0; i < NumValues; ++i)
        AddXYZ(Random(100), Random(100), Random(100));
}

void TPoint3DSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DSeries::PrepareForGallery(IsEnabled);
    Pen()->SetColor(0x800000);
    if (ParentChart()) ParentChart()->View3DOptions()->PresetSample(60);
}

void TPoint3DSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name :
         {"No Point", "No Line", "Colors", "Marks", "Hollow", "No Border", "Point 2D", "Triangle",
          "Star", "Circle", "Down Tri.", "Cross", "Diamond"})
        AddSubChart(name);
}

void TPoint3DSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TPoint3DSeries*>(Series);
    if (!s) return;
    static const TSeriesPointerStyle styles[] = {psTriangle,     psStar,  psCircle,
                                                 psDownTriangle, psCross, psDiamond};
    switch (Index) {
    case 1:
        s->Pointer()->SetVisible(false);
        break;
    case 2:
        s->Pen()->SetVisible(false);
        break;
    case 3:
        s->SetColorEachPoint(true);
        break;
    case 4:
        s->Marks()->SetVisible(true);
        break;
    case 5:
        s->Pointer()->Brush()->SetStyle(bsClear);
        break;
    case 6:
        s->Pointer()->Pen()->SetVisible(false);
        break;
    case 7:
        s->Pointer()->SetDraw3D(false);
        break;
    default:
        if (Index >= 8 && Index <= 13)
            s->Pointer()->SetStyle(styles[Index - 8]);
        else
            TCustom3DSeries::SetSubGallery(Series, Index);
    }
}
