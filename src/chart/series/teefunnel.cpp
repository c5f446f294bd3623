// Funnel series: sorted quotes, segment regions filled by opportunity, the
// outline, percentage marks, the three-item legend and clicks.
#include "chart/series/teefunnel.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TFunnelSeries, TChartSeries, TComponent)

QM_PUBLISHED(
    TFunnelSeries,
    Prop("AboveColor", &Self::AboveColor, &Self::SetAboveColor).Default(32768).Idents("TColor"),
    Prop("AutoUpdate", &Self::AutoUpdate, &Self::SetAutoUpdate).Default(true),
    Prop("Brush", &Self::Brush, &Self::SetBrush),
    Prop("BelowColor", &Self::BelowColor, &Self::SetBelowColor).Default(255).Idents("TColor"),
    Prop("DifferenceLimit", &Self::DifferenceLimit, &Self::SetDifferenceLimit),
    Prop("LinesPen", &Self::LinesPen, &Self::SetLinesPen),
    Prop("OpportunityValues", &Self::OpportunityValues, &Self::SetOpportunityValues),
    Prop("Pen", &Self::Pen, &Self::SetPen),
    Prop("QuoteValues", &Self::QuoteValues, &Self::SetQuoteValues),
    Prop("QuotesSorted", &Self::QuotesSorted, &Self::SetQuotesSorted).Default(false),
    Prop("WithinColor", &Self::WithinColor, &Self::SetWithinColor).Default(65535).Idents("TColor"));

TFunnelSeries::TFunnelSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    FLinesPen = CreateChartPen();
    FOpportunityValues = new TChartValueList(this, "OpportunityValues");
    FOpportunityValues->SetOrder(loNone);
    YValues()->SetName("QuoteValues");
    YValues()->SetOrder(loDescending);
    XValues()->SetName("");
    XValues()->SetOrder(loNone);
    SetPercentFormat("0.00 %");
    // Each segment takes the colour of how it meets its quote.
    SetUseSeriesColor(false);
    OnGetMarkText = [this](TChartSeries*, int ValueIndex, AnsiString& MarkText) {
        const double quote = YValues()->Value(ValueIndex);
        const double share = quote == 0 ? 0 : 100 * FOpportunityValues->Value(ValueIndex) / quote;
        MarkText = FormatFloat(PercentFormat(), share);
    };
}

void TFunnelSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TFunnelSeries*>(Source)) {
        FAboveColor = s->FAboveColor;
        FAutoUpdate = s->FAutoUpdate;
        FBelowColor = s->FBelowColor;
        FDifferenceLimit = s->FDifferenceLimit;
        FLinesPen->Assign(s->FLinesPen.get());
        FQuotesSorted = s->FQuotesSorted;
        FWithinColor = s->FWithinColor;
    }
    TChartSeries::Assign(Source);
}

void TFunnelSeries::SortQuotes() {
    YValues()->Sort();
    XValues()->FillSequence();
    FSorted = true;
}

int TFunnelSeries::AddSegment(double AQuote, double AOpportunity, const AnsiString& ALabel,
                              TColor AColor) {
    FOpportunityValues->SetTempValue(AOpportunity);
    const int result = AddXY(Count(), AQuote, ALabel, AColor);
    if (!FQuotesSorted) SortQuotes();
    return result;
}

void TFunnelSeries::Recalc() {
    if (!FSorted) SortQuotes();
    if (Count() > 0) {
        FTop = YValues()->Value(0);
        FBottom = YValues()->Value(Count() - 1);
        FSlope = (FTop - FBottom) * 0.5 / Count();
    }
}

void TFunnelSeries::SetAutoUpdate(bool Value) {
    FAutoUpdate = Value;
    if (Value) Recalc();
}

void TFunnelSeries::SetDifferenceLimit(double Value) {
    if (Value == FDifferenceLimit) return;
    FDifferenceLimit = Value;
    if (FAutoUpdate) Recalc();
    Repaint();
}

void TFunnelSeries::SetQuotesSorted(bool Value) {
    FQuotesSorted = Value;
    FSorted = Value;
}

double TFunnelSeries::Ratio(int ValueIndex) {
    const double quote = YValues()->Value(ValueIndex);
    return quote == 0 ? 0 : FOpportunityValues->Value(ValueIndex) / quote;
}

TColor TFunnelSeries::SegmentColor(int ValueIndex) {
    const double ratio = Ratio(ValueIndex);
    if (ratio >= 1) return FAboveColor;
    return (1 - ratio) * 100 > FDifferenceLimit ? FBelowColor : FWithinColor;
}

std::vector<TPoint> TFunnelSeries::DefineFunnelRegion(int ValueIndex) {
    const double i = ValueIndex, s = FSlope;
    const double ratio = Ratio(ValueIndex);
    const TPoint A(CalcXPosValue(i - 0.5), CalcYPosValue(FTop - i * s));
    const TPoint B(CalcXPosValue(i + 0.5), CalcYPosValue(FTop - (i + 1) * s));
    const TPoint C(B.x, CalcYPosValue((i + 1) * s));
    const TPoint D(A.x, CalcYPosValue(i * s));
    const double height = FTop - 2 * i * s;
    const int yL = CalcYPosValue(i * s + height * ratio);
    // A flat funnel (slope 0) has no sloped edge to cut: the level runs across.
    auto edgeX = [&](double offset) {
        return s == 0 ? B.x : CalcXPosValue(i - 0.5 + height * offset / s);
    };
    if (yL <= A.y) return {A, B, C, D};
    if (yL <= B.y) return {TPoint(A.x, yL), TPoint(edgeX(1 - ratio), yL), B, C, D};
    if (yL <= C.y) return {TPoint(A.x, yL), TPoint(B.x, yL), C, D};
    return {TPoint(A.x, yL), TPoint(edgeX(ratio), yL), D};
}

void TFunnelSeries::DoBeforeDrawChart() {
    if (Active() && GetVertAxis()) GetVertAxis()->SetVisible(false);
}

void TFunnelSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const std::vector<TPoint> p = DefineFunnelRegion(ValueIndex);
    canvas->AssignBrushColor(Brush(), SegmentColor(ValueIndex), SegmentColor(ValueIndex));
    canvas->AssignVisiblePen(Pen());
    if (chart->View3D())
        canvas->PolygonWithZ(p.data(), int(p.size()) - 1, StartZ());
    else
        canvas->Polygon(p.data(), int(p.size()) - 1);
}

void TFunnelSeries::DrawAllValues() {
    Recalc();
    TChartSeries::DrawAllValues();
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    canvas->AssignVisiblePen(Pen());
    canvas->Brush()->SetStyle(bsClear);
    const double n = Count();
    const TPoint outline[4] = {{CalcXPosValue(-0.5), CalcYPosValue(FTop)},
                               {CalcXPosValue(n - 0.5), CalcYPosValue((FTop + FBottom) * 0.5)},
                               {CalcXPosValue(n - 0.5), CalcYPosValue((FTop - FBottom) * 0.5)},
                               {CalcXPosValue(-0.5), CalcYPosValue(0)}};
    if (is3D)
        canvas->PolygonWithZ(outline, 3, StartZ());
    else
        canvas->Polygon(outline, 3);
    if (FLinesPen->Visible()) {
        canvas->AssignVisiblePen(FLinesPen.get());
        for (int i = std::max(0, FirstVisibleIndex()); i < LastVisibleIndex(); ++i) {
            const int x = CalcXPosValue(i + 0.5);
            const int y0 = CalcYPosValue((i + 1) * FSlope);
            const int y1 = CalcYPosValue(FTop - (i + 1) * FSlope);
            if (is3D)
                canvas->VertLine3D(x, y0, y1, StartZ());
            else
                canvas->DoVertLine(x, y0, y1);
        }
    }
}

void TFunnelSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    const int w = APosition->Width, h = APosition->Height;
    APosition->LeftTop =
        TPoint(CalcXPosValue(ValueIndex) - w / 2, CalcYPosValue(FTop * 0.5) - h / 2);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

AnsiString TFunnelSeries::LegendString(int LegendIndex, TLegendTextStyle) {
    const AnsiString limit = FormatFloat(PercentFormat(), FDifferenceLimit);
    switch (LegendIndex) {
    case 0:
        return "Exceeds quota";
    case 1:
        return limit + " within quota";
    default:
        return limit + " or more below quota";
    }
}

TColor TFunnelSeries::LegendItemColor(int LegendIndex) {
    switch (LegendIndex) {
    case 0:
        return FAboveColor;
    case 1:
        return FWithinColor;
    default:
        return FBelowColor;
    }
}

int TFunnelSeries::Clicked(int X, int Y) {
    if (Count() == 0 || !ParentChart()) return -1;
    ParentChart()->Canvas()->Calculate2DPosition(X, Y, StartZ());
    Recalc();
    for (int i = 0; i < Count(); ++i) {
        const std::vector<TPoint> p = DefineFunnelRegion(i);
        if (PointInPolygon(TPoint(X, Y), p, int(p.size()) - 1)) return i;
    }
    return -1;
}

void TFunnelSeries::AddSampleValues(int NumValues) {
    double quote = 1000 + Random(200);
    for (int i = 1; i <= NumValues; ++i) {
        const double opportunity = quote * (0.4 + Random(80) / 100.0);
        AddSegment(quote, opportunity, "Segment " + IntToStr(i));
        quote = quote * (0.7 + Random(20) / 100.0);
    }
    Recalc();
}
