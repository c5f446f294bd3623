// Point and figure: the column walk over highs and lows, symbol stacks, the
// two-item legend.
#include "chart/series/teepointfigure.h"
#include "chart/engine/teeaxis.h"
#include <cmath>

QM_CLASS_OWNED(TPointFigureSeries, TOHLCSeries, TComponent)

QM_PUBLISHED(TPointFigureSeries, Prop("BoxSize", &Self::BoxSize, &Self::SetBoxSize),
             Prop("DownSymbol", &Self::DownSymbol, &Self::SetDownSymbol),
             Prop("ReversalAmount", &Self::ReversalAmount, &Self::SetReversalAmount),
             Prop("UpSymbol", &Self::UpSymbol, &Self::SetUpSymbol));

namespace {
// Symbols one walk places at most: a tiny box size against a wide price
// range must not hang the chart.
constexpr int MaxSymbols = 10000;
} // namespace

TPointFigureSeries::TPointFigureSeries(TComponent* AOwner) : TOHLCSeries(AOwner) {
    FUpSymbol = std::make_unique<TSeriesPointer>(this);
    FUpSymbol->SetStyle(psDiagCross);
    FUpSymbol->Brush()->SetColor(32768);
    FDownSymbol = std::make_unique<TSeriesPointer>(this);
    FDownSymbol->SetStyle(psCircle);
    FDownSymbol->Brush()->SetColor(255);
    XValues()->InitDateTime(false);
}

void TPointFigureSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPointFigureSeries*>(Source)) {
        FUpSymbol->Assign(s->FUpSymbol.get());
        FDownSymbol->Assign(s->FDownSymbol.get());
        FBoxSize = s->FBoxSize;
        FReversalAmount = s->FReversalAmount;
    }
    TOHLCSeries::Assign(Source);
}

int TPointFigureSeries::CalcMaxColumns(bool Draw) {
    const int n = Count();
    if (n == 0) return 0;
    const double box = FBoxSize;
    // Without a positive, finite box the stacks would never end.
    const bool canStack = box > 0 && std::isfinite(box);
    int column = 0;
    int symbols = 0;
    auto stack = [&](double From, double To, bool Up) {
        if (!Draw || !canStack || symbols >= MaxSymbols) return;
        double v = From;
        do {
            if (OnSymbol) OnSymbol(column, v, Up);
            TSeriesPointer* p = Up ? FUpSymbol.get() : FDownSymbol.get();
            if (p->Visible() && ParentChart()) {
                p->PrepareCanvas(ParentChart()->Canvas(), p->Brush()->Color());
                p->Draw(CalcXPosValue(column), CalcYPosValue(v), p->Brush()->Color(), p->Style());
            }
            v += box;
        } while (v <= To && ++symbols < MaxSymbols);
    };
    const double reversal = FReversalAmount * box;
    double low = LowValues()->Value(0), high = HighValues()->Value(0);
    stack(low, high, false);
    bool up = false;
    for (int i = 1; i < n; ++i) {
        const double h = HighValues()->Value(i), l = LowValues()->Value(i);
        if (!up) {
            if (l <= low - box) {
                stack(l, low - box, false);
                low = l;
            } else if (h >= low + reversal) {
                ++column;
                stack(low + box, h, true);
                up = true;
                high = h;
            }
        } else {
            if (h >= high + box) {
                stack(high + box, h, true);
                high = h;
            } else if (l <= high - reversal) {
                ++column;
                stack(l, high - box, false);
                up = false;
                low = l;
            }
        }
    }
    return column + 1;
}

void TPointFigureSeries::DrawAllValues() {
    CalcMaxColumns(true);
}

AnsiString TPointFigureSeries::LegendString(int LegendIndex, TLegendTextStyle) {
    return LegendIndex == 0 ? "Up" : "Down";
}

TColor TPointFigureSeries::LegendItemColor(int LegendIndex) {
    return (LegendIndex == 0 ? FUpSymbol : FDownSymbol)->Brush()->Color();
}

void TPointFigureSeries::PrepareForGallery(bool IsEnabled) {
    TOHLCSeries::PrepareForGallery(IsEnabled);
    if (IsEnabled) return;
    for (TSeriesPointer* p : {FUpSymbol.get(), FDownSymbol.get()}) {
        p->Brush()->SetColor(12632256);
        p->Pen()->SetColor(8421504);
    }
}
