// Error and high-low series.
//   TCustomErrorSeries   error list, margins, whisker drawing, ranges, samples
//   TErrorBarSeries      bars under top whiskers
//   THighLowSeries       band, lines, hit test, samples, sub-gallery
#include "chart/series/errorbar.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/filer.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TCustomErrorSeries, TBarSeries, TComponent)
QM_CLASS_OWNED(TErrorSeries, TCustomErrorSeries, TComponent)
QM_CLASS_OWNED(TErrorBarSeries, TCustomErrorSeries, TComponent)
QM_CLASS_OWNED(THighLowSeries, TChartSeries, TComponent)

QM_PUBLISHED(
    TCustomErrorSeries, Prop("ErrorPen", &Self::ErrorPen, &Self::SetErrorPen),
    Prop("ErrorValues", &Self::ErrorValues, &Self::SetErrorValues),
    Prop("ErrorWidth", &Self::ErrorWidth, &Self::SetErrorWidth).Default(100),
    Prop("ErrorWidthUnits", &Self::ErrorWidthUnits, &Self::SetErrorWidthUnits).Default(ewuPercent));

QM_PUBLISHED(TErrorSeries,
             Prop("ErrorStyle", &Self::ErrorStyle, &Self::SetErrorStyle).Default(essTopBottom));

QM_PUBLISHED(THighLowSeries, Prop("HighBrush", &Self::HighBrush, &Self::SetHighBrush),
             Prop("HighPen", &Self::HighPen, &Self::SetHighPen),
             Prop("HighValues", &Self::HighValues, &Self::SetHighValues),
             Prop("LowBrush", &Self::LowBrush, &Self::SetLowBrush),
             Prop("LowPen", &Self::LowPen, &Self::SetLowPen),
             Prop("LowValues", &Self::LowValues, &Self::SetLowValues),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0));

// ---------------------------------------------------------------------------
// TCustomErrorSeries

TCustomErrorSeries::TCustomErrorSeries(TComponent* AOwner) : TBarSeries(AOwner) {
    FErrorPen = CreateChartPen();
    FErrorValues = new TChartValueList(this, "StdError");
    Marks()->SetVisible(false);
}

void TCustomErrorSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomErrorSeries*>(Source)) {
        FErrorPen->Assign(s->FErrorPen.get());
        FErrorStyle = s->FErrorStyle;
        FErrorWidth = s->FErrorWidth;
        FErrorWidthUnits = s->FErrorWidthUnits;
    }
    TBarSeries::Assign(Source);
}

int TCustomErrorSeries::AddErrorBar(double X, double Y, double AError, const AnsiString& Label,
                                    TColor Color) {
    FErrorValues->SetTempValue(AError);
    return AddXY(X, Y, Label, Color);
}

double TCustomErrorSeries::GetErrorValue(int Index) const {
    return FErrorValues->Value(Index);
}

void TCustomErrorSeries::SetErrorValue(int Index, double Value) {
    FErrorValues->SetValue(Index, Value);
    Repaint();
}

void TCustomErrorSeries::SetErrorPen(TChartPen* Value) {
    FErrorPen->Assign(Value);
    if (!FDrawBar) TBarSeries::SetSeriesColor(FErrorPen->Color());
    Repaint();
}

void TCustomErrorSeries::SetSeriesColor(TColor Value) {
    TBarSeries::SetSeriesColor(Value);
    if (!FDrawBar) FErrorPen->SetColor(Value);
}

void TCustomErrorSeries::SetErrorStyle(TErrorSeriesStyle Value) {
    if (Value == FErrorStyle) return;
    FErrorStyle = Value;
    Repaint();
}

void TCustomErrorSeries::SetErrorWidthUnits(TErrorWidthUnits Value) {
    if (Value == FErrorWidthUnits) return;
    FErrorWidthUnits = Value;
    Repaint();
}

void TCustomErrorSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TBarSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int w = FErrorPen->Width();
    if (FErrorStyle == essLeft || FErrorStyle == essLeftRight) LeftMargin = std::max(LeftMargin, w);
    if (FErrorStyle == essRight || FErrorStyle == essLeftRight)
        RightMargin = std::max(RightMargin, w);
}

void TCustomErrorSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TBarSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    const int w = FErrorPen->Width();
    if (FErrorStyle == essTop || FErrorStyle == essTopBottom) TopMargin = std::max(TopMargin, w);
    if (FErrorStyle == essBottom || FErrorStyle == essTopBottom)
        BottomMargin = std::max(BottomMargin, w);
}

void TCustomErrorSeries::DrawWhisker(TCanvas3D* Canvas, int X, int Y, int Length, int TickWidth,
                                     bool Is3D) {
    const int z = MiddleZ();
    const int half = TickWidth / 2;
    auto hline = [&](int x0, int x1, int y) {
        if (Is3D)
            Canvas->HorizLine3D(x0, x1, y, z);
        else
            Canvas->DoHorizLine(x0, x1, y);
    };
    auto vline = [&](int x, int y0, int y1) {
        if (Is3D)
            Canvas->VertLine3D(x, y0, y1, z);
        else
            Canvas->DoVertLine(x, y0, y1);
    };
    // Each end: the arm from the point, then a tick across it (last pixel included).
    auto horizontalArm = [&](int sign) {
        const int end = X + sign * Length;
        hline(X, end, Y);
        vline(end, Y - half, Y - half + TickWidth + 1);
    };
    auto verticalArm = [&](int sign) {
        const int end = Y + sign * Length;
        vline(X, Y, end);
        hline(X - half, X - half + TickWidth + 1, end);
    };
    switch (FErrorStyle) {
    case essLeft:
        horizontalArm(-1);
        break;
    case essRight:
        horizontalArm(1);
        break;
    case essLeftRight:
        horizontalArm(-1), horizontalArm(1);
        break;
    case essTop:
        verticalArm(-1);
        break;
    case essBottom:
        verticalArm(1);
        break;
    case essTopBottom:
        verticalArm(-1), verticalArm(1);
        break;
    }
}

void TCustomErrorSeries::DrawBar(int BarIndex, int StartPos, int EndPos) {
    if (FDrawBar) TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    const double error = FErrorValues->Value(BarIndex);
    if (!FErrorPen->Visible() || error == 0 || !std::isfinite(error)) return;
    const int barWidth = BarRect.Right - BarRect.Left;
    int tick = barWidth;
    if (FErrorWidth != 0)
        tick = FErrorWidthUnits == ewuPercent
                   ? SafeInt(std::nearbyint(FErrorWidth * barWidth * 0.01))
                   : FErrorWidth;
    const double value = YValues()->Value(BarIndex);
    const int y = CalcYPosValue(value);
    const bool vertical = FErrorStyle >= essTop;
    int length = vertical ? CalcYSizeValue(error) : CalcXSizeValue(error);
    // Away from the bar: a bar hanging below its origin gets its whisker below.
    if (FDrawBar && y > GetOriginPos(BarIndex)) length = -length;
    TCanvas3D* canvas = ParentChart()->Canvas();
    canvas->AssignVisiblePenColor(FErrorPen.get(),
                                  FDrawBar ? FErrorPen->Color() : ValueColor(BarIndex));
    canvas->SetBackMode(cbmTransparent);
    DrawWhisker(canvas, (BarRect.Left + BarRect.Right) / 2, y, length, tick,
                ParentChart()->View3D());
}

void TCustomErrorSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    if (FDrawBar) {
        TBarSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    TCanvas3D* canvas = ParentChart()->Canvas();
    canvas->AssignVisiblePenColor(FErrorPen.get(), SeriesColor());
    canvas->SetBackMode(cbmTransparent);
    const int w = Rect.Right - Rect.Left;
    DrawWhisker(canvas, (Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2,
                (Rect.Bottom - Rect.Top) / 2 - 1, w, false);
}

double TCustomErrorSeries::MaxYValue() {
    if (FDrawBar) {
        double result = TBarSeries::MaxYValue();
        for (int i = 0; i < Count(); ++i) {
            const double v = YValues()->Value(i), e = FErrorValues->Value(i);
            result = std::max(result, v >= 0 ? v + e : v - e);
        }
        return result;
    }
    if (Count() == 0) return 0;
    double result = YValues()->Value(0) + FErrorValues->Value(0);
    for (int i = 1; i < Count(); ++i)
        result = std::max(result, YValues()->Value(i) + FErrorValues->Value(i));
    return result;
}

double TCustomErrorSeries::MinYValue() {
    if (FDrawBar) {
        double result = TBarSeries::MinYValue();
        for (int i = 0; i < Count(); ++i) {
            const double v = YValues()->Value(i), e = FErrorValues->Value(i);
            result = std::min(result, v >= 0 ? v + e : v - e);
        }
        return result;
    }
    if (Count() == 0) return 0;
    double result = YValues()->Value(0) - FErrorValues->Value(0);
    for (int i = 1; i < Count(); ++i)
        result = std::min(result, YValues()->Value(i) - FErrorValues->Value(i));
    return result;
}

void TCustomErrorSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    double x = b.tmpX;
    for (int i = 0; i < NumValues; ++i) {
        const double y = Random(SafeInt(std::nearbyint(b.DifY)));
        AddErrorBar(x, y, b.DifY / (Random(4) + 20));
        x += b.StepX;
    }
}

void TCustomErrorSeries::PrepareForGallery(bool IsEnabled) {
    TBarSeries::PrepareForGallery(IsEnabled);
    FErrorPen->SetColor(IsEnabled ? clRed : clWhite);
    TBarSeries::SetSeriesColor(IsEnabled ? TColor(16711680) : TColor(12632256));
}

void TCustomErrorSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    // The bar series' stacked variants make no sense for whiskers.
    TChartSeries::CreateSubGallery(AddSubChart);
}

TErrorBarSeries::TErrorBarSeries(TComponent* AOwner) : TCustomErrorSeries(AOwner) {
    FDrawBar = true;
    SetErrorStyle(essTop);
}

void TErrorBarSeries::PrepareForGallery(bool IsEnabled) {
    ErrorPen()->SetWidth(2);
    TCustomErrorSeries::PrepareForGallery(IsEnabled);
}

// ---------------------------------------------------------------------------
// THighLowSeries

THighLowSeries::THighLowSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    YValues()->SetName("High");
    FHighPen = CreateChartPen();
    FLowValues = new TChartValueList(this, "Low");
    FLowPen = CreateChartPen();
    FLowBrush = std::make_unique<TChartBrush>(changed);
    FLowBrush->SetStyle(bsClear);
    Brush()->SetStyle(bsClear);
    Pen()->SetColor(clTeeColor);
}

void THighLowSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<THighLowSeries*>(Source)) {
        FHighPen->Assign(s->FHighPen.get());
        FLowPen->Assign(s->FLowPen.get());
        FLowBrush->Assign(s->FLowBrush.get());
        FTransparency = s->FTransparency;
    }
    TChartSeries::Assign(Source);
}

void THighLowSeries::DefineProperties(TFiler* Filer) {
    TChartSeries::DefineProperties(Filer);
    // Both brushes start clear here, so a solid brush (the brushes' own
    // default, never written by them) needs its own mark.
    auto solid = [Filer](const char* Name, TChartBrush* Brush) {
        Filer->DefineProperty(
            Name, [Brush](TReader* R) { Brush->SetStyle(R->ReadBoolean() ? bsSolid : bsClear); },
            [](TWriter* W) { W->WriteBoolean(true); }, Brush->Style() == bsSolid);
    };
    solid("HighBrushSolid", Brush());
    solid("LowBrushSolid", FLowBrush.get());
}

int THighLowSeries::AddHighLow(double X, double AHigh, double ALow, const AnsiString& Label,
                               TColor Color) {
    FLowValues->SetTempValue(ALow);
    return AddXY(X, AHigh, Label, Color);
}

void THighLowSeries::SetTransparency(TTeeTransparency Value) {
    if (Value == FTransparency) return;
    FTransparency = Value;
    Repaint();
}

bool THighLowSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<THighLowSeries*>(Value) != nullptr;
}

double THighLowSeries::MaxYValue() {
    const double inherited = TChartSeries::MaxYValue();
    return Count() ? std::max(inherited, FLowValues->MaxValue()) : inherited;
}

double THighLowSeries::MinYValue() {
    const double inherited = TChartSeries::MinYValue();
    return Count() ? std::min(inherited, FLowValues->MinValue()) : inherited;
}

void THighLowSeries::DrawAllValues() {
    FFirstDrawn = DrawValuesForward() ? FirstVisibleIndex() : LastVisibleIndex();
    TChartSeries::DrawAllValues();
}

void THighLowSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const int x = CalcXPos(ValueIndex);
    const int high = CalcYPos(ValueIndex);
    const int low = CalcYPosValue(FLowValues->Value(ValueIndex));
    if (ValueIndex != FFirstDrawn) {
        const bool is3D = chart->View3D();
        const int z = MiddleZ();
        const TColor color = ValueColor(ValueIndex);
        // Screen Y grows downwards: "high not above low" means the band is inverted.
        TChartBrush* brush = high >= low ? FLowBrush.get() : Brush();
        if (brush->Style() != bsClear) {
            const TPoint p[4] = {{FOldX, FOldHigh}, {FOldX, FOldLow}, {x, low}, {x, high}};
            TTeeBlend* blend = nullptr;
            if (FTransparency > 0) {
                TPoint q[4];
                for (int i = 0; i < 4; ++i)
                    q[i] = is3D ? canvas->Calculate3DPosition(p[i], z) : p[i];
                blend = canvas->BeginBlending(RectFromPolygon(q, 4), FTransparency);
            }
            canvas->AssignBrushColor(brush, color, color);
            canvas->Pen()->SetStyle(psClear);
            if (is3D)
                canvas->PlaneWithZ(p[0], p[1], p[2], p[3], z);
            else
                canvas->Polygon(p, 3);
            if (blend) canvas->EndBlending(blend);
        }
        auto line = [&](TChartPen* pen, int y0, int y1) {
            if (!pen->Visible()) return;
            canvas->AssignVisiblePen(pen);
            canvas->SetBackMode(cbmTransparent);
            if (is3D)
                canvas->LineWithZ(FOldX, y0, x, y1, z);
            else
                canvas->Line(FOldX, y0, x, y1);
        };
        line(FHighPen.get(), FOldHigh, high);
        line(FLowPen.get(), FOldLow, low);
        if (Pen()->Visible()) {
            canvas->AssignVisiblePenColor(Pen(),
                                          Pen()->Color() == clTeeColor ? color : Pen()->Color());
            if (is3D)
                canvas->VertLine3D(FOldX, FOldHigh, FOldLow, z);
            else
                canvas->DoVertLine(FOldX, FOldHigh, FOldLow);
        }
    }
    FOldX = x;
    FOldHigh = high;
    FOldLow = low;
}

int THighLowSeries::Clicked(int X, int Y) {
    if (Count() < 2 || FirstVisibleIndex() < 0) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, MiddleZ());
    const TPoint p(X, Y);
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = std::max(1, FirstVisibleIndex()); i <= last; ++i) {
        const TPoint q[4] = {{CalcXPos(i - 1), CalcYPos(i - 1)},
                             {CalcXPos(i - 1), CalcYPosValue(FLowValues->Value(i - 1))},
                             {CalcXPos(i), CalcYPosValue(FLowValues->Value(i))},
                             {CalcXPos(i), CalcYPos(i)}};
        if (PointInPolygon(p, q, 3)) return i;
    }
    return -1;
}

void THighLowSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    const double range = b.DifY;
    double x = b.tmpX;
    double y = Random(SafeInt(std::nearbyint(range)));
    for (int i = 0; i < NumValues; ++i) {
        y = y + Random(SafeInt(std::nearbyint(range / 5))) - range / 10;
        AddHighLow(x, y, y - Random(SafeInt(std::nearbyint(range / 5))));
        x += b.StepX;
    }
}

void THighLowSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TChartSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"Filled", "No Lines", "No High", "No Low"})
        AddSubChart(name);
}

void THighLowSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<THighLowSeries*>(Series);
    if (!s) return TChartSeries::SetSubGallery(Series, Index);
    switch (Index) {
    case 1:
        s->HighBrush()->SetStyle(bsSolid);
        break;
    case 2:
        s->Pen()->SetVisible(false);
        break;
    case 3:
        s->HighPen()->SetVisible(false);
        break;
    case 4:
        s->LowPen()->SetVisible(false);
        break;
    default:
        TChartSeries::SetSubGallery(Series, Index);
    }
}
