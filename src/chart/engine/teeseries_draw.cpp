// TChartSeries, drawing side: positions through the series' axes, the visible
// range and drawing order, depth order, point colours, legend texts and
// symbols, mark texts and mark layout, format copies and the gallery look.
#include "chart/engine/teeseries.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teesources.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/format.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Positions

int TChartSeries::CalcXPos(int ValueIndex) {
    return CalcXPosValue(FX->Value(ValueIndex));
}

int TChartSeries::CalcYPos(int ValueIndex) {
    return CalcYPosValue(FY->Value(ValueIndex));
}

int TChartSeries::CalcXPosValue(double Value) {
    return FGetHorizAxis ? FGetHorizAxis->CalcXPosValue(Value) : 0;
}

int TChartSeries::CalcYPosValue(double Value) {
    return FGetVertAxis ? FGetVertAxis->CalcYPosValue(Value) : 0;
}

int TChartSeries::CalcPosValue(double Value) {
    return FYMandatory ? CalcYPosValue(Value) : CalcXPosValue(Value);
}

int TChartSeries::CalcXSizeValue(double Value) {
    return FGetHorizAxis ? FGetHorizAxis->CalcSizeValue(Value) : 0;
}

int TChartSeries::CalcYSizeValue(double Value) {
    return FGetVertAxis ? FGetVertAxis->CalcSizeValue(Value) : 0;
}

double TChartSeries::XScreenToValue(int ScreenPos) {
    return FGetHorizAxis ? FGetHorizAxis->CalcPosPoint(ScreenPos) : 0;
}

double TChartSeries::YScreenToValue(int ScreenPos) {
    return FGetVertAxis ? FGetVertAxis->CalcPosPoint(ScreenPos) : 0;
}

AnsiString TChartSeries::XValueToText(double Value) {
    return FGetHorizAxis ? FGetHorizAxis->LabelValue(Value) : FormatMarkValue(Value);
}

AnsiString TChartSeries::YValueToText(double Value) {
    return FGetVertAxis ? FGetVertAxis->LabelValue(Value) : FormatMarkValue(Value);
}

bool TChartSeries::AssociatedToAxis(TChartAxis* Axis) {
    if (!UseAxis() || !Axis) return false;
    if (Axis->Horizontal()) return FHorizAxis == aBothHorizAxis || FGetHorizAxis == Axis;
    return FVertAxis == aBothVertAxis || FGetVertAxis == Axis;
}

// ---------------------------------------------------------------------------
// Visible range and drawing order

void TChartSeries::CalcFirstLastVisibleIndex() {
    FFirstVisibleIndex = -1;
    FLastVisibleIndex = -1;
    const int count = Count();
    if (count < 1) return;
    const int last = count - 1;
    TChartAxis* axis = FYMandatory ? FGetHorizAxis : FGetVertAxis;
    if (!FUseVisibleRange || FNotMandatory->Order() == loNone || !axis || !ParentChart()) {
        FFirstVisibleIndex = 0;
        FLastVisibleIndex = last;
        return;
    }
    const TRect r = ParentChart()->ChartRect();
    double low, high;
    if (axis->Horizontal()) {
        low = axis->CalcPosPoint(axis->Inverted() ? r.Right : r.Left);
        high = axis->CalcPosPoint(axis->Inverted() ? r.Left : r.Right);
    } else {
        low = axis->CalcPosPoint(axis->Inverted() ? r.Top : r.Bottom);
        high = axis->CalcPosPoint(axis->Inverted() ? r.Bottom : r.Top);
    }
    const double* v = FNotMandatory->Data();
    // The first index from From on whose value is at least Bound (count when none).
    // A binary search finds it only in a list known to be in order; set out of
    // order or holding NaN, the list is scanned.
    const bool inOrder = FNotMandatory->InOrder();
    auto firstAtLeast = [&](int From, double Bound) {
        if (inOrder) return static_cast<int>(std::lower_bound(v + From, v + count, Bound) - v);
        while (From < count && !(v[From] >= Bound))
            ++From;
        return From;
    };
    const int first = firstAtLeast(0, low);
    if (first > last) return;
    FFirstVisibleIndex = first;
    if (v[last] <= high) {
        FLastVisibleIndex = last;
        return;
    }
    const int end = std::min(firstAtLeast(first, high), last);
    FLastVisibleIndex = !FIncludeNextPoint && v[end] > high ? end - 1 : end;
}

bool TChartSeries::DrawValuesForward() {
    if (FYMandatory) {
        bool result = !(FGetHorizAxis && FGetHorizAxis->Inverted());
        if (ParentChart() && ParentChart()->InvertedRotation) result = !result;
        return result;
    }
    return !(FGetVertAxis && FGetVertAxis->Inverted());
}

bool TChartSeries::DrawSeriesForward(int ValueIndex) {
    (void)ValueIndex;
    return !(ParentChart() && ParentChart()->InvertedRotation);
}

void TChartSeries::DrawAllValues() {
    if (FFirstVisibleIndex < 0) return;
    const int last = std::min(FLastVisibleIndex, Count() - 1);
    if (DrawValuesForward()) {
        for (int i = FFirstVisibleIndex; i <= last; ++i)
            DrawValue(i);
    } else {
        for (int i = last; i >= FFirstVisibleIndex; --i)
            DrawValue(i);
    }
}

void TChartSeries::DoBeforeDrawValues() {
    if (BeforeDrawValues) BeforeDrawValues(this);
}

void TChartSeries::DoAfterDrawValues() {
    if (AfterDrawValues) AfterDrawValues(this);
}

// ---------------------------------------------------------------------------
// Depth order

void TChartSeries::CalcZOrder() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    if (FZOrder != -1) {
        chart->MaxDepthOrder = std::max(chart->MaxDepthOrder, FZOrder);
    } else if (!chart->View3D()) {
        FAutoZOrder = 0;
    } else {
        ++chart->MaxDepthOrder;
        FAutoZOrder = chart->MaxDepthOrder;
    }
}

bool TChartSeries::MoreSameZOrder() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !chart->ApplyZOrder()) return false;
    const int z = GetZOrder();
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (s != this && s->Active() && !s->FOwnDepthSlot && s->GetZOrder() == z) return true;
    }
    return false;
}

bool TChartSeries::FirstInZOrder() {
    if (!FActive) return false;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return true;
    const int z = GetZOrder();
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (s == this) break;
        if (s->Active() && s->GetZOrder() == z) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Colours

TColor TChartSeries::GetValueColor(int ValueIndex) {
    const TColor c = InternalColor(ValueIndex);
    if (c != clAutoColor) return c;
    return FColorEachPoint ? GetDefaultColor(ValueIndex) : FColor;
}

void TChartSeries::ColorRange(TChartValueList* AValueList, double FromValue, double ToValue,
                              TColor AColor) {
    for (int i = 0; i < AValueList->Count(); ++i) {
        const double v = AValueList->Value(i);
        if (v >= FromValue && v <= ToValue && !IsNull(i)) SetValueColor(i, AColor);
    }
    Repaint();
}

TColor TChartSeries::LegendItemColor(int LegendIndex) {
    return GetValueColor(LegendIndex);
}

// ---------------------------------------------------------------------------
// Legend

int TChartSeries::CountLegendItems() {
    return Count();
}

int TChartSeries::LegendToValueIndex(int LegendIndex) {
    return LegendIndex;
}

AnsiString TChartSeries::FormatMarkValue(double Value) const {
    return FormatFloat(FValueFormat, Value);
}

AnsiString TChartSeries::LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) {
    const int i = LegendToValueIndex(LegendIndex);
    const AnsiString label = FLabels->GetLabel(i);
    if (LegendTextStyle == ltsPlain) return label;
    const double v = GetMarkValue(i);
    AnsiString value;
    if (FMandatory->DateTime())
        value = TDateTime(v).FormatString(DateTimeDefaultFormat(v));
    else
        value = FormatMarkValue(v);
    const double total = FMandatory->TotalABS();
    const AnsiString percent = FormatFloat(FPercentFormat, total == 0 ? 100 : 100 * v / total);
    const AnsiString sep(TeeColumnSeparator);
    // The legend shows the X value itself, for horizontal series too.
    const auto xText = [&] { return XValueToText(FX->Value(i)); };
    auto left = [&](const AnsiString& text) { return label.IsEmpty() ? text : text + sep + label; };
    auto right = [&](const AnsiString& text) {
        return label.IsEmpty() ? text : label + sep + text;
    };
    switch (LegendTextStyle) {
    case ltsLeftValue:
        return left(value);
    case ltsRightValue:
        return right(value);
    case ltsLeftPercent:
        return left(percent);
    case ltsRightPercent:
        return right(percent);
    case ltsXValue:
        return xText();
    case ltsValue:
        return value;
    case ltsPercent:
        return percent;
    case ltsXAndValue:
        return xText() + sep + value;
    case ltsXAndPercent:
        return xText() + sep + percent;
    case ltsPlain:
        break;
    }
    return label;
}

void TChartSeries::DrawLegend(int ValueIndex, const TRect& Rect) {
    if (ValueIndex == -1 && FColorEachPoint) return;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool oldAutoRepaint = chart->AutoRepaint();
    chart->SetAutoRepaint(false);
    TTeeFinally restoreRepaint([chart, oldAutoRepaint] { chart->SetAutoRepaint(oldAutoRepaint); });

    const TColor c = ValueIndex == -1 ? FColor : LegendItemColor(ValueIndex);
    canvas->Brush()->SetColor(c);
    if (c == clNone) return;
    TColor back = chart->LegendColor;
    TBrushStyle style = Brush()->Style();
    canvas->AssignVisiblePen(Pen());
    PrepareLegendCanvas(ValueIndex, back, style);
    if (chart->LegendPen) canvas->AssignVisiblePen(chart->LegendPen);
    if (back == clAutoColor) {
        back = chart->LegendColor;
        if (back == clAutoColor) back = chart->Color();
    }
    const TBrushStyle oldStyle = Brush()->Style();
    const bool patterned = Brush()->Bitmap() && !Brush()->Bitmap()->Empty();
    const bool changeStyle = style != oldStyle && !patterned;
    if (changeStyle) Brush()->SetStyle(style);
    TTeeFinally restoreStyle([&] {
        if (changeStyle) Brush()->SetStyle(oldStyle);
    });
    chart->SetBrushCanvas(canvas->Brush()->Color(), Brush(), back);
    DrawLegendShape(ValueIndex, Rect);
}

void TChartSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    (void)ValueIndex;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->Rectangle(Rect);
    const TColor brushColor = canvas->Brush()->Color();
    if (brushColor != chart->LegendColor) return;
    const TColor oldPen = canvas->Pen()->Color();
    canvas->Brush()->SetStyle(bsClear);
    if (brushColor == clBlack) canvas->Pen()->SetColor(clWhite);
    canvas->Rectangle(Rect);
    canvas->Pen()->SetColor(oldPen);
}

void TChartSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) {
    (void)ValueIndex, (void)BackColor, (void)BrushStyle;
}

// ---------------------------------------------------------------------------
// Marks

double TChartSeries::GetMarkValue(int ValueIndex) {
    return FMandatory->Value(ValueIndex);
}

double TChartSeries::GetOriginValue(int ValueIndex) {
    return GetMarkValue(ValueIndex);
}

AnsiString TChartSeries::MarkPercent(int ValueIndex, bool AddTotal) {
    const double total = FMandatory->TotalABS();
    const double p = total == 0 ? 100 : std::fabs(GetMarkValue(ValueIndex)) * 100 / total;
    AnsiString text = FormatFloat(FPercentFormat, p);
    if (AddTotal) {
        const AnsiString& fmt =
            FMarks->MultiLine() ? TeeMsg_DefaultPercentOf2 : TeeMsg_DefaultPercentOf;
        text = Format(fmt, {text, FormatMarkValue(total)});
    }
    return text;
}

AnsiString TChartSeries::GetMarkText(int ValueIndex) {
    const AnsiString sep = FMarks->MultiLine() ? AnsiString(TeeLineSeparator) : AnsiString(" ");
    auto valueText = [&] { return FormatMarkValue(GetMarkValue(ValueIndex)); };
    auto labelOrValue = [&] {
        const AnsiString label = FLabels->GetLabel(ValueIndex);
        return label.IsEmpty() ? valueText() : label;
    };
    AnsiString text;
    switch (FMarks->Style()) {
    case smsValue:
        text = valueText();
        break;
    case smsPercent:
        text = MarkPercent(ValueIndex, false);
        break;
    case smsPercentTotal:
        text = MarkPercent(ValueIndex, true);
        break;
    case smsLabel:
        text = labelOrValue();
        break;
    case smsLabelPercent:
        text = labelOrValue() + sep + MarkPercent(ValueIndex, false);
        break;
    case smsLabelPercentTotal:
        text = labelOrValue() + sep + MarkPercent(ValueIndex, true);
        break;
    case smsLabelValue:
        text = labelOrValue() + sep + valueText();
        break;
    case smsLegend:
        if (ParentChart()) text = ParentChart()->FormattedValueLegend(this, ValueIndex);
        break;
    case smsXValue:
        text = XValueToText(FNotMandatory->Value(ValueIndex));
        break;
    case smsXY:
        text = XValueToText(FNotMandatory->Value(ValueIndex)) + sep + valueText();
        break;
    }
    if (OnGetMarkText) OnGetMarkText(this, ValueIndex, text);
    return text;
}

void TChartSeries::DrawMarks() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || FFirstVisibleIndex < 0) return;
    TCanvas3D* canvas = chart->Canvas();
    const int every = std::max(1, FMarks->DrawEvery());
    const int last = std::min(FLastVisibleIndex, Count() - 1);
    TSeriesMarkPosition position;
    const TMarksPlacement placement(FMarks.get());
    for (int i = FFirstVisibleIndex; i <= last; ++i) {
        if (i % every != 0 || IsNull(i)) continue;
        const AnsiString text = GetMarkText(i);
        if (text.IsEmpty()) continue;
        TTeeCustomShape* item = FMarks->MarkItem(i);
        if (!item->Visible()) continue;
        canvas->AssignFont(item->Font());
        if (chart->View3D() && !canvas->SupportsFullRotation() &&
            chart->View3DOptions()->ZoomText() && chart->View3DOptions()->Zoom() != 100) {
            const int size = canvas->Font()->Size();
            canvas->Font()->SetSize(std::max<int>(
                1, static_cast<int>(Round(size * chart->View3DOptions()->Zoom() * 0.01))));
        }
        int lines = 0;
        int width = chart->MultiLineTextWidth(text, lines) + canvas->TextWidth("W");
        int height = canvas->FontHeight() * lines;
        canvas->AssignVisiblePen(item->Pen());
        if (item->Pen()->Visible()) {
            width += 2 * item->Pen()->Width();
            height += 2 * item->Pen()->Width();
        } else {
            ++height;
        }
        position = TSeriesMarkPosition();
        position.ArrowTo = TPoint(CalcXPos(i), CalcYPos(i));
        position.ArrowFrom = position.ArrowTo;
        position.LeftTop = TPoint(position.ArrowTo.x - width / 2, position.ArrowTo.y - height + 1);
        position.Width = width;
        position.Height = height;
        DrawMark(i, text, &position);
    }
}

void TChartSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    FMarks->InternalDraw(ValueIndex, GetValueColor(ValueIndex), St, *APosition);
}

int TChartSeries::MaxMarkWidth() {
    int result = 0;
    for (int i = 0; i < Count(); ++i)
        if (FMarks->MarkItem(i)->Visible()) result = std::max(result, FMarks->TextWidth(i));
    return result;
}

// ---------------------------------------------------------------------------
// Format copies and the gallery

void TChartSeries::AssignFormat(TChartSeries* Source) {
    SetDataSource(nullptr);
    if (Source->FYMandatory == FYMandatory) {
        FX->Assign(Source->FX);
        FY->Assign(Source->FY);
    } else {
        FY->Assign(Source->FX);
        FX->Assign(Source->FY);
    }
    FLabelsSource = Source->FLabelsSource;
    FColorSource = Source->FColorSource;
    const int lists = std::min(FValuesList->Count(), Source->FValuesList->Count());
    for (int i = 2; i < lists; ++i)
        FValuesList->Get(i)->Assign(Source->FValuesList->Get(i));
    FMarks->Assign(Source->FMarks.get());
    FColor = Source->FColor;
    FColorEachPoint = Source->FColorEachPoint;
    FValueFormat = Source->FValueFormat;
    FPercentFormat = Source->FPercentFormat;
    // Another chart's custom axis is kept by its index, never as a pointer that
    // would outlive that chart.
    auto copyAxis = [this](TChartAxis* Axis, int Index, TWatched<TChartAxis>& Field,
                           int& FieldIndex) {
        const bool foreign = Axis && Axis->ParentChart() != ParentChart();
        Field = foreign ? nullptr : Axis;
        FieldIndex = foreign ? Axis->Index() : Index;
    };
    copyAxis(Source->FCustomHorizAxis, Source->FCustomHorizIndex, FCustomHorizAxis,
             FCustomHorizIndex);
    copyAxis(Source->FCustomVertAxis, Source->FCustomVertIndex, FCustomVertAxis, FCustomVertIndex);
    FHorizAxis = Source->FHorizAxis;
    FVertAxis = Source->FVertAxis;
    FRecalcOptions = Source->FRecalcOptions;
    FCursor = Source->FCursor;
    FDepth = Source->FDepth;
    RecalcGetAxis();
}

void TChartSeries::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TChartSeries*>(Source);
    if (!src) {
        TCustomChartSeries::Assign(Source);
        return;
    }
    if (src == this) return;
    TCustomChartSeries::Assign(Source);
    AssignFormat(src);
    if (src->FTeeFunction && !FTeeFunction) src->FTeeFunction->SetParentSeries(this);
    FManualData = src->FManualData;
    if (!src->FDataSources.empty()) {
        ClearDataSources();
        const std::vector<TComponent*> sources = src->FDataSources;
        for (TComponent* source : sources)
            InternalAddDataSource(source);
    } else if (!src->ComponentState().Contains(csDesigning)) {
        // Point by point, with each point's colour and label.
        AssignValues(src);
    }
    CheckDataSource();
}

void TChartSeries::PrepareForGallery(bool IsEnabled) {
    FillSampleValues(4);
    FMarks->SetVisible(false);
    FMarks->Font()->SetSize(7);
    FMarks->Callout()->SetLength(4);
    FMarks->SetDrawEvery(2);
    FColorEachPoint = false;
    TColor color = clSilver;
    if (IsEnabled) {
        const bool first = !ParentChart() || ParentChart()->SeriesCount() == 0 ||
                           ParentChart()->GetSeries(0) == this;
        color = ColorPalette[static_cast<size_t>(first ? clTeeGallery1 : clTeeGallery2)];
    }
    SetSeriesColor(color);
}

void TChartSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    if (AddSubChart) AddSubChart(TeeMsg_Normal);
}
