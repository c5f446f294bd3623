// Which labels an axis shows: the step search, the label texts and sizes, and
// the six walks that place labels and collect the tick positions.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teesources.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

// State of one label walk.
struct TChartAxis::TLabelWalk {
    double Increment = 0;
    TDateTimeStep Step = dtNone;
};

namespace {
// Upper bound of the walks that step by value, whatever the handlers and
// ranges do (the value walk itself refuses more than 10000 labels).
constexpr int MaxWalkSteps = 100000;

bool HasIndexSide(TChartAxis* Axis, TChartSeries* S) {
    return Axis->Horizontal() == S->YIsMandatory();
}

// First value of the logarithmic walk: the minimum, or a stand-in above zero.
double LogLowest(double Minimum) {
    return Minimum > 0 ? Minimum : Minimum < 0 ? MinAxisRange : 0.1;
}
} // namespace

// ---------------------------------------------------------------------------
// Step search

double TChartAxis::NextStep(double OldStep) {
    if (!(OldStep > 0) || !std::isfinite(OldStep)) return OldStep > 0 ? OldStep : MinAxisIncrement;
    // Same arithmetic as scaling by ten one decade at a time.
    int up = 0, down = 0;
    double x = OldStep;
    while (x >= 10) {
        x *= 0.1;
        ++up;
    }
    while (x < 1) {
        x *= 10;
        ++down;
    }
    double r = x < 2 ? 2 : x < 5 ? 5 : 10;
    while (up-- > 0)
        r *= 10;
    while (down-- > 0)
        r *= 0.1;
    return r;
}

double TChartAxis::CalcIncrement() {
    return CalcXYIncrement(std::max(InternalLabelSize(IMinimum, FHorizontal),
                                    InternalLabelSize(IMaximum, FHorizontal)));
}

double TChartAxis::CalcXYIncrement(int MaxLabelSize) {
    int n = 1;
    if (MaxLabelSize > 0) {
        if (FLabelsSeparation > 0)
            MaxLabelSize =
                SafeInt(MaxLabelSize + double(Round(FLabelsSeparation * 0.01 * MaxLabelSize)));
        n = SafeInt(Round(double(IAxisSize) / MaxLabelSize));
    }
    return CalcLabelsIncrement(n);
}

double TChartAxis::CalcLabelsIncrement(int MaxNumLabels) {
    const int n = MaxNumLabels;
    if (n <= 0) return IAxisDateTime ? DateTimeStep[dtOneMicroSecond] : MinAxisIncrement;
    if (IAxisDateTime) return CalcDateTimeIncrement(n);
    double r;
    if (FDesiredIncrement > 0) {
        r = FDesiredIncrement;
    } else {
        r = IRange == 0 ? 1 : std::fabs(IRange) / (n + 1);
        if (FParentChart)
            for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
                TChartSeries* s = FParentChart->GetSeries(i);
                if (s->Active() && s->AssociatedToAxis(this) && HasIndexSide(this, s) &&
                    s->Count() <= n) {
                    r = std::max(r, 1.0);
                    break;
                }
            }
    }
    if (FLabelsSeparation >= 0) {
        int64_t k = int64_t(n) + 1;
        do {
            const double q = IRange / r;
            if (std::fabs(q) < 2147483647.0) {
                k = Round(q);
                if (k > n) r = NextStep(r);
            } else {
                r = NextStep(r);
            }
        } while (!(k <= n || r > IRange || std::isinf(r)));
    }
    return std::isinf(r) ? IRange : std::max(r, MinAxisIncrement);
}

double TChartAxis::CalcDateTimeIncrement(int MaxNumLabels) {
    const double micro = DateTimeStep[dtOneMicroSecond];
    double r = std::max(FDesiredIncrement, micro);
    if (r > 0 && MaxNumLabels > 0) {
        if (IRange / r > 1000000) r = IRange / 1000000;
        int64_t k;
        do {
            k = Round(IRange / r);
            if (k > MaxNumLabels) {
                if (r >= DateTimeStep[dtOneYear])
                    r *= 2;
                else if (r >= DateTimeStep[dtOneSecond])
                    r = NextDateTimeStep(r);
                else
                    r = NextStep(r);
            }
        } while (k > MaxNumLabels && std::isfinite(r));
    }
    return std::max(r, micro);
}

// ---------------------------------------------------------------------------
// Texts and sizes

AnsiString TChartAxis::FormattedValue(double Value) {
    TLabelTexts& t = FLabelTexts;
    if (t.Format != FAxisValuesFormat || t.Decimal != DecimalSeparator ||
        t.Thousand != ThousandSeparator) {
        t.Format = FAxisValuesFormat;
        t.Decimal = DecimalSeparator;
        t.Thousand = ThousandSeparator;
        t.Texts.clear();
    }
    for (const auto& [value, text] : t.Texts)
        if (std::memcmp(&value, &Value, sizeof Value) == 0) return text;
    // A scrolling axis keeps meeting new values: the oldest go.
    if (t.Texts.size() >= 64) t.Texts.clear();
    t.Texts.emplace_back(Value, FormatFloat(FAxisValuesFormat, Value));
    return t.Texts.back().second;
}

AnsiString TChartAxis::LabelValue(double Value) {
    AnsiString result;
    if (IAxisDateTime) {
        if (Value >= 0)
            result = FormatDateTime(
                FDateTimeFormat.IsEmpty() ? DateTimeDefaultFormat(IRange) : FDateTimeFormat, Value);
    } else {
        result = FormattedValue(Value);
    }
    if (FParentChart && FParentChart->OnGetAxisLabel)
        FParentChart->OnGetAxisLabel(this, nullptr, -1, result);
    if (FLabelsMultiLine)
        for (char& c : result.str())
            if (c == ' ') c = TeeLineSeparator;
    return result;
}

int TChartAxis::InternalLabelSize(double Value, bool IsWidth) {
    if (!FParentChart) return 0;
    int lines = 0;
    const int width = FParentChart->MultiLineTextWidth(LabelValue(Value), lines);
    const bool upright = FLabelsAngle == 90 || FLabelsAngle == 270;
    const bool flat = FLabelsAngle == 0 || FLabelsAngle == 180;
    if ((IsWidth && upright) || (!IsWidth && flat))
        return FParentChart->Canvas()->FontHeight() * lines;
    return width;
}

int TChartAxis::LabelWidth(double Value) {
    return InternalLabelSize(Value, true);
}

int TChartAxis::LabelHeight(double Value) {
    return InternalLabelSize(Value, false);
}

int TChartAxis::MaxLabelsWidth() {
    if (!FParentChart) return 0;
    TCanvas3D* canvas = FParentChart->Canvas();
    // The room across the axis is the widest line of text, whatever the angle:
    // upright labels on a horizontal axis stand as tall as they are wide.
    const auto widthOf = [this](const AnsiString& Text) {
        int lines = 0;
        return FParentChart->MultiLineTextWidth(Text, lines);
    };
    if (FItems->Count() > 0) {
        int result = 0;
        for (int i = 0; i < FItems->Count(); ++i) {
            TAxisItem* item = FItems->Get(i);
            canvas->AssignFont(item->Font());
            result = std::max(
                result, widthOf(item->Text().IsEmpty() ? LabelValue(item->Value()) : item->Text()));
        }
        return result;
    }
    switch (CalcLabelStyle()) {
    case talValue: {
        // Measured without the chart's label event: only the room matters.
        TTeeValueScope quiet(FParentChart->OnGetAxisLabel, nullptr);
        TLabelWalk w;
        w.Increment = CalcIncrement();
        double a = IMinimum, b = IMaximum;
        if (((IAxisDateTime && FExactDateTime) || FRoundFirstLabel) && w.Increment > 0) {
            a = std::trunc(IMinimum / w.Increment) * w.Increment;
            b = std::trunc(IMaximum / w.Increment) * w.Increment;
        }
        int result = std::max(widthOf(LabelValue(a)), widthOf(LabelValue(b)));
        // Labels between the ends may be wider ("-0.5" between "-1" and "1"):
        // measure every one the walk will draw.
        w.Step = WalkStep(w.Increment);
        const bool calendar = w.Step >= dtHalfMonth && w.Step <= dtOneYear;
        if ((w.Increment > 0 || calendar) && IMaximum >= IMinimum &&
            !FParentChart->OnGetNextAxisLabel) {
            const auto measure = [&](double v) {
                result = std::max(result, widthOf(LabelValue(v)));
            };
            if (FLogarithmic && FDesiredIncrement == 0) {
                if (IMinimum != IMaximum) ForEachLogValue(measure);
            } else {
                ForEachDefaultValue(w, measure);
            }
        }
        return result + canvas->TextWidth(" ");
    }
    case talMark:
        return FParentChart->MaxMarkWidth();
    case talText:
        return FParentChart->MaxTextWidth();
    default:
        return 0;
    }
}

TAxisLabelStyle TChartAxis::CalcLabelStyle() {
    return FLabelStyle != talAuto ? FLabelStyle : InternalCalcLabelStyle();
}

TAxisLabelStyle TChartAxis::InternalCalcLabelStyle() {
    TAxisLabelStyle result = talNone;
    if (!FParentChart) return result;
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->GetSeries(i);
        if (!s->Active() || !s->AssociatedToAxis(this)) continue;
        result = talValue;
        if (HasIndexSide(this, s) && s->Labels()->Count() > 0 &&
            !s->Labels()->GetLabel(0).IsEmpty())
            return talText;
    }
    return result;
}

TAxisLabelStyle TChartDepthAxis::InternalCalcLabelStyle() {
    TCustomAxisPanel* chart = ParentChart();
    if (chart)
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->GetSeries(i);
            if (s->Active() && (s->HasZValues() || s->MaxZValue() != s->MinZValue()))
                return talValue;
        }
    return talText;
}

// ---------------------------------------------------------------------------
// Walks

void TChartAxis::DrawLabelsAndCollectTicks() {
    if (!FParentChart) return;
    TLabelWalk w;
    if (FItems->Count() > 0) {
        DoCustomItems(w);
        return;
    }
    const TAxisLabelStyle style = CalcLabelStyle();
    if (style == talNone) return;
    FParentChart->Canvas()->AssignFont(LabelsFont());
    w.Increment = CalcIncrement();
    w.Step = WalkStep(w.Increment);
    const bool calendar = w.Step >= dtHalfMonth && w.Step <= dtOneYear;
    if (!(w.Increment > 0 || calendar) || !(IMaximum >= IMinimum)) return;
    switch (style) {
    case talValue:
        if (FParentChart->OnGetNextAxisLabel)
            DoCustomLabels(w);
        else
            DoNotCustomLabels(w);
        break;
    case talMark:
        DoSeriesLabels(w, true);
        break;
    case talText:
        if (IsDepthAxis)
            DoDepthLabels(w);
        else
            DoSeriesLabels(w, false);
        break;
    default:
        break;
    }
}

TDateTimeStep TChartAxis::WalkStep(double Increment) const {
    if (!(IAxisDateTime && FExactDateTime && FDesiredIncrement != 0)) return dtNone;
    TDateTimeStep step = FindDateTimeStep(FDesiredIncrement);
    if (step != dtNone)
        while (step < dtOneYear && Increment > DateTimeStep[step])
            step = static_cast<TDateTimeStep>(step + 1);
    return step;
}

void TChartAxis::DoNotCustomLabels(TLabelWalk& W) {
    if (FLogarithmic && FDesiredIncrement == 0)
        DoDefaultLogLabels(W);
    else
        DoDefaultLabels(W);
}

void TChartAxis::PlaceValueLabel(TLabelWalk& W, double Value) {
    (void)W;
    const int p = CalcPosValue(Value);
    if (!FLabelsOnAxis && (p <= IStartPos || p >= IEndPos)) return;
    if (!FTickOnLabelsOnly) AddTick(p);
    if (Labels()) DrawThisLabel(W, p, LabelValue(Value));
}

template <class F> void TChartAxis::ForEachDefaultValue(const TLabelWalk& W, F Visit) {
    const double inc = W.Increment;
    if (!(std::fabs(IRange / inc) < 10000)) return;
    double v;
    if (IAxisDateTime && FExactDateTime && W.Step >= dtOneDay && W.Step <= dtOneYear) {
        v = TeeRoundDate(IMaximum, W.Step);
    } else if (FloatToStr(IMinimum) != FloatToStr(IMaximum) && FRoundFirstLabel) {
        v = std::trunc(IMaximum / inc) * inc;
    } else {
        v = IMaximum;
    }
    // A step lost in the value's precision must not stall the walk.
    auto stepDown = [&](double& value) {
        const double old = value;
        IncDecDateTime(false, value, inc, W.Step);
        return value < old;
    };
    for (int i = 0; v > IMaximum && i < MaxWalkSteps; ++i)
        if (!stepDown(v)) return;
    if (IRange != 0 && 1e-10 <= std::fabs(IMaximum - IMinimum) &&
        FloatToStr(v) != FloatToStr(v - inc)) {
        // The relative margin vanishes for a negative minimum (-1 stays -1), where
        // rounding in the steps would then lose the minimum's label: allow a
        // sliver of one step as well.
        const double limit = std::min((IMinimum - MinAxisIncrement) / (1 + MinAxisIncrement),
                                      IMinimum - std::fabs(inc) * 1e-9);
        for (int i = 0; v >= limit && i < MaxWalkSteps; ++i) {
            Visit(v);
            if (!stepDown(v)) break;
        }
    } else {
        Visit(v);
    }
}

void TChartAxis::DoDefaultLabels(TLabelWalk& W) {
    ForEachDefaultValue(W, [&](double v) { PlaceValueLabel(W, v); });
}

template <class F> double TChartAxis::ForEachLogValue(F Visit) {
    const double lowest = LogLowest(IMinimum);
    double v = lowest;
    for (int i = 0; v <= IMaximum && i < MaxWalkSteps; ++i) {
        if (v >= lowest) Visit(v);
        v *= FLogarithmicBase;
    }
    return v;
}

void TChartAxis::DoDefaultLogLabels(TLabelWalk& W) {
    if (IMinimum == IMaximum) return;
    const bool minorGrid = FMinorGrid->Visible();
    // The minor grid starts one step below the first label.
    if (minorGrid) {
        const double lowest = LogLowest(IMinimum);
        const double w =
            std::pow(FLogarithmicBase, std::log(lowest) / std::log(FLogarithmicBase) - 1);
        if (w < lowest) AddTick(CalcPosValue(w));
    }
    const double past = ForEachLogValue([&](double v) { PlaceValueLabel(W, v); });
    if (minorGrid && past > IMaximum) AddTick(CalcPosValue(past));
}

void TChartAxis::DoCustomLabels(TLabelWalk& W) {
    double v = IMinimum;
    for (int index = 0; index <= 2000; ++index) {
        bool stop = true;
        FParentChart->OnGetNextAxisLabel(this, index, v, stop);
        if (stop) {
            if (index == 0) DoNotCustomLabels(W);
            return;
        }
        if (v >= IMinimum - 1e-7 && v <= IMaximum + 1e-7)
            PlaceValueLabel(W, v);
        else
            return;
    }
}

void TChartAxis::DoSeriesLabels(TLabelWalk& W, bool MarksTexts) {
    TCanvas3D* canvas = FParentChart->Canvas();
    std::vector<TChartSeries*> list;
    int first = -1, last = -1;
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->GetSeries(i);
        if (!s->Active() || !s->AssociatedToAxis(this)) continue;
        // The axes may be drawn before the series: the ranges must be this frame's.
        s->CalcFirstLastVisibleIndex();
        if (s->FirstVisibleIndex() < 0) continue;
        if (list.empty()) {
            first = s->FirstVisibleIndex();
            last = s->LastVisibleIndex();
        } else {
            first = std::min(first, s->FirstVisibleIndex());
            last = std::max(last, s->LastVisibleIndex());
        }
        list.push_back(s);
    }
    if (list.empty()) return;
    const bool alongWidth = FHorizontal != (FLabelsAngle == 90 || FLabelsAngle == 270);
    bool haveLast = false;
    int q = 0, hq = 0;
    for (int index = first; index <= last; ++index) {
        TChartSeries* found = nullptr;
        AnsiString text;
        for (TChartSeries* s : list) {
            if (index < s->FirstVisibleIndex() || index > s->LastVisibleIndex()) continue;
            text = MarksTexts ? s->GetMarkText(index) : s->GetXLabel(index);
            if (FParentChart->OnGetAxisLabel) FParentChart->OnGetAxisLabel(this, s, index, text);
            if (!text.IsEmpty()) {
                found = s;
                break;
            }
        }
        if (!found) continue;
        const double value =
            FHorizontal ? found->XValues()->Value(index) : found->YValues()->Value(index);
        if (value < IMinimum || value > IMaximum) continue;
        const int p = CalcPosValue(value);
        if (!FTickOnLabelsOnly) AddTick(p);
        if (!Labels()) continue;
        int lines = 0;
        const int width = FParentChart->MultiLineTextWidth(text, lines);
        const int size = alongWidth ? width : canvas->FontHeight() * lines;
        const int h = SafeInt(size + double(Trunc(size * 0.02 * FLabelsSeparation))) / 2;
        bool draw = true;
        if (haveLast && FLabelsSeparation != 0) draw = p < q ? p + h <= q - hq : p - h >= q + hq;
        if (!draw) continue;
        DrawThisLabel(W, p, text);
        hq = haveLast ? h : size / 2;
        q = p;
        haveLast = true;
    }
}

void TChartAxis::DoDepthLabels(TLabelWalk& W) {
    if (FParentChart->CountActiveSeries() == 0) return;
    const int64_t from = Trunc(IMinimum);
    const int64_t to = std::min<int64_t>(Trunc(IMaximum), from + MaxWalkSteps);
    for (int64_t i = from; i <= to; ++i) {
        const int p = CalcYPosValue(IMaximum - double(i) - 0.5);
        if (!FTickOnLabelsOnly) AddTick(p);
        if (!Labels()) continue;
        const int index = static_cast<int>(i);
        AnsiString text = FParentChart->SeriesTitleLegend(index, true);
        if (FParentChart->OnGetAxisLabel)
            FParentChart->OnGetAxisLabel(this, FParentChart->SeriesLegend(index, true), index,
                                         text);
        DrawThisLabel(W, p, text);
    }
}

void TChartAxis::DoCustomItems(TLabelWalk& W) {
    for (int i = 0; i < FItems->Count(); ++i) {
        TAxisItem* item = FItems->Get(i);
        const double v = item->Value();
        if (v < FMinimumValue || v > FMaximumValue) continue;
        const int p = CalcPosValue(v);
        if (!FTickOnLabelsOnly) AddTick(p);
        if (item->Visible())
            DrawThisLabel(W, p, item->Text().IsEmpty() ? LabelValue(v) : item->Text(), item);
    }
}
