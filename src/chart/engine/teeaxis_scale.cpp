// Axis ranges, value-to-pixel and back, room around the plot, scrolling and hit
// tests.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeseries.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

bool TChartAxis::IsDateTime() const {
    if (!FParentChart) return false;
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->GetSeries(i);
        if (s->Active() && s->AssociatedToAxis(const_cast<TChartAxis*>(this)))
            return FHorizontal ? s->XValues()->DateTime() : s->YValues()->DateTime();
    }
    return false;
}

void TChartAxis::CalcMinMax(double& AMin, double& AMax) {
    if (!FParentChart) return;
    if (FAutomatic || FAutomaticMaximum)
        AMax = FParentChart->InternalMinMax(this, false, FHorizontal);
    if (FAutomatic || FAutomaticMinimum)
        AMin = FParentChart->InternalMinMax(this, true, FHorizontal);
}

void TChartAxis::AdjustMaxMin() {
    // Taken afresh for every drawing, hidden axes too (a polar series steps its
    // rings by the hidden left axis): a flag left by the series an earlier
    // drawing showed would step this one's labels and grid by dates.
    IAxisDateTime = IsDateTime();
    CalcMinMax(FMinimumValue, FMaximumValue);
    IMaximum = FMaximumValue;
    IMinimum = FMinimumValue;
    InternalCalcRange();
}

void TChartAxis::InternalCalcRange() {
    IRange = IMaximum - IMinimum;
    IRangeZero = IRange == 0;
    IAxisSizeRange = IRangeZero ? 0 : IAxisSize / IRange;
    if (FLogarithmic) {
        ILogMin = IMinimum > 0 ? std::log(IMinimum) : 0;
        ILogMax = IMaximum > 0 ? std::log(IMaximum) : 0;
        LogRange = ILogMax - ILogMin;
        IAxisLogSizeRange = LogRange == 0 ? 0 : IAxisSize / LogRange;
    }
    IZPos = CalcZPos();
}

void TChartAxis::AdjustMaxMinRect(const TRect& Rect) {
    const int a = FHorizontal ? Rect.Left : Rect.Top;
    const int b = FHorizontal ? Rect.Right : Rect.Bottom;
    if (a == 0 && b == 0) return;
    const int oldStart = IStartPos;
    const int oldEnd = IEndPos;
    IStartPos += a;
    IEndPos -= b;
    IAxisSize = IEndPos - IStartPos;
    // Margins that leave no room would collapse the range to a point: keep it.
    if (IAxisSize < 1) {
        InternalCalcPositions();
        return;
    }
    const double newMin = CalcPosPoint(oldStart);
    const double newMax = CalcPosPoint(oldEnd);
    InternalCalcPositions();
    IMinimum = newMin;
    IMaximum = newMax;
    if (IMinimum > IMaximum) std::swap(IMinimum, IMaximum);
    InternalCalcRange();
}

void TChartAxis::InternalCalcPositions() {
    int origin = 0, length = 0;
    if (FParentChart) {
        const TRect r = FParentChart->ChartRect();
        if (IsDepthAxis) {
            origin = 0;
            length = FParentChart->Width3D();
        } else if (FHorizontal) {
            origin = r.Left;
            length = r.Right - r.Left;
        } else {
            origin = r.Top;
            length = r.Bottom - r.Top;
        }
    }
    IStartPos = origin + AxisPixel(length * 0.01 * FStartPosition);
    IEndPos = origin + AxisPixel(length * 0.01 * FEndPosition);
    RecalcSizeCenter();
}

void TChartAxis::RecalcSizeCenter() {
    IAxisSize = IEndPos - IStartPos;
    ICenterPos = (IStartPos + IEndPos) / 2;
    InternalCalcRange();
}

int TChartAxis::CalcZPos() const {
    if (!FParentChart) return 0;
    const int d = IsDepthAxis ? FParentChart->ChartHeight() : FParentChart->Width3D();
    return AxisPixel(d * FZPosition * 0.01);
}

void TChartAxis::SetCalcPosValue() {
    if (IsDepthAxis) {
        FCalcXPosValue = FCalcYPosValue = &TChartAxis::InternalCalcDepthPosValue;
    } else if (FLogarithmic) {
        FCalcXPosValue = &TChartAxis::LogXPosValue;
        FCalcYPosValue = &TChartAxis::LogYPosValue;
    } else if (FParentChart && FParentChart->Axes() && FParentChart->Axes()->FastCalc()) {
        FCalcXPosValue = &TChartAxis::XPosValue;
        FCalcYPosValue = &TChartAxis::YPosValue;
    } else {
        FCalcXPosValue = &TChartAxis::XPosValueCheck;
        FCalcYPosValue = &TChartAxis::YPosValueCheck;
    }
    FCalcPosValue = FHorizontal ? FCalcXPosValue : FCalcYPosValue;
    FLinearPos = FCalcXPosValue == &TChartAxis::XPosValueCheck;
}

// ---------------------------------------------------------------------------
// Value to pixel

void TChartAxis::CalcXPosValues(const double* Values, int Count, TPoint* Points) const {
    static_assert(sizeof(TPoint) == 2 * sizeof(int));
    if (Count <= 0) return;
    if (!FLinearPos || IRangeZero) {
        for (int i = 0; i < Count; ++i)
            Points[i].x = CalcXPosValue(Values[i]);
        return;
    }
    PixelPositions(Values, Count, IMinimum, IAxisSizeRange, FInverted ? IEndPos : IStartPos,
                   FInverted, TeeMaxPixelPos, &Points[0].x, 2);
}

void TChartAxis::CalcYPosValues(const double* Values, int Count, TPoint* Points) const {
    if (Count <= 0) return;
    if (!FLinearPos || IRangeZero) {
        for (int i = 0; i < Count; ++i)
            Points[i].y = CalcYPosValue(Values[i]);
        return;
    }
    PixelPositions(Values, Count, IMinimum, IAxisSizeRange, FInverted ? IStartPos : IEndPos,
                   !FInverted, TeeMaxPixelPos, &Points[0].y, 2);
}

int TChartAxis::XPosValue(double Value) const {
    if (IRangeZero) return ICenterPos;
    const int p = AxisPixel((Value - IMinimum) * IAxisSizeRange);
    return FInverted ? IEndPos - p : IStartPos + p;
}

int TChartAxis::YPosValue(double Value) const {
    if (IRangeZero) return ICenterPos;
    const int p = AxisPixel((Value - IMinimum) * IAxisSizeRange);
    return FInverted ? IStartPos + p : IEndPos - p;
}

int TChartAxis::XPosValueCheck(double Value) const {
    if (IRangeZero) return ICenterPos;
    const double p = (Value - IMinimum) * IAxisSizeRange;
    return AxisPixel(FInverted ? IEndPos - p : IStartPos + p);
}

int TChartAxis::YPosValueCheck(double Value) const {
    if (IRangeZero) return ICenterPos;
    const double p = (Value - IMinimum) * IAxisSizeRange;
    return AxisPixel(FInverted ? IStartPos + p : IEndPos - p);
}

int TChartAxis::LogXPosValue(double Value) const {
    if (LogRange == 0) return ICenterPos;
    if (Value <= 0) return FInverted ? IEndPos : IStartPos;
    if (FInverted) return IStartPos + AxisPixel((ILogMax - std::log(Value)) * IAxisLogSizeRange);
    return IStartPos + AxisPixel((std::log(Value) - ILogMin) * IAxisLogSizeRange);
}

int TChartAxis::LogYPosValue(double Value) const {
    if (LogRange == 0) return ICenterPos;
    if (Value <= 0) return FInverted ? IStartPos : IEndPos;
    if (FInverted) return IEndPos - AxisPixel((ILogMax - std::log(Value)) * IAxisLogSizeRange);
    return IEndPos - AxisPixel((std::log(Value) - ILogMin) * IAxisLogSizeRange);
}

int TChartAxis::InternalCalcDepthPosValue(double Value) const {
    if (IRangeZero) return ICenterPos;
    if (FInverted) return AxisPixel((IMaximum - Value) * IAxisSizeRange);
    return AxisPixel((Value - IMinimum) * IAxisSizeRange);
}

double TChartAxis::CalcPosPoint(int Value) const {
    if (FLogarithmic) {
        const bool atStartIsMax = (FHorizontal && FInverted) || (!FHorizontal && !FInverted);
        if (Value == IStartPos) return atStartIsMax ? IMaximum : IMinimum;
        if (Value == IEndPos) return atStartIsMax ? IMinimum : IMaximum;
        if (LogRange == 0 || IAxisSize == 0) return IMinimum;
        const double t = (FInverted ? IEndPos - Value : Value - IStartPos) * LogRange / IAxisSize;
        return FHorizontal ? std::exp(ILogMin + t) : std::exp(ILogMax - t);
    }
    if (IAxisSize < 1) return 0;
    const double t = double(FInverted ? IEndPos - Value : Value - IStartPos) * IRange / IAxisSize;
    return FHorizontal ? IMinimum + t : IMaximum - t;
}

int TChartAxis::CalcSizeValue(double Value) const {
    if (!(Value > 0)) return 0;
    if (FLogarithmic) return LogRange == 0 ? 0 : AxisPixel(std::log(Value) * IAxisLogSizeRange);
    return IRange == 0 ? 0 : AxisPixel(Value * IAxisSizeRange);
}

// ---------------------------------------------------------------------------
// Room around the plot

int TChartAxis::GetRectangleEdge(const TRect& R) const {
    if (FHorizontal) return FOtherSide ? R.Top : R.Bottom;
    return FOtherSide ? R.Right : R.Left;
}

int TChartAxis::ApplyPosition(int APos, const TRect& R) const {
    if (FPositionPercent == 0) return APos;
    double d;
    if (FPosUnits == muPixels)
        d = FPositionPercent;
    else
        d = 0.01 * FPositionPercent * (FHorizontal ? R.Bottom - R.Top : R.Right - R.Left);
    int i = AxisPixel(d);
    if (FOtherSide) i = -i;
    if (FHorizontal) i = -i;
    return APos + i;
}

int TChartAxis::SizeTickAxis() const {
    int result = FAxis->Visible() ? FAxis->Width() + 1 : 0;
    if (FTicks->Visible()) result += FTickLength;
    if (FMinorTicks->Visible()) result = std::max(result, FMinorTickLength);
    return result;
}

int TChartAxis::SizeLabels() {
    return InternalCalcSize(LabelsFont(), FLabelsAngle, FLabelsSize, AnsiString());
}

int TChartAxis::InternalCalcSize(TTeeFont* AFont, int AAngle, int ASize, const AnsiString& AText) {
    if (ASize != 0) return ASize;
    if (!FParentChart) return 0;
    TCanvas3D* canvas = FParentChart->Canvas();
    canvas->AssignFont(AFont);
    const bool alongHeight =
        FHorizontal ? (AAngle == 0 || AAngle == 180) : (AAngle == 90 || AAngle == 270);
    if (alongHeight) return canvas->FontHeight();
    return AText.IsEmpty() ? MaxLabelsWidth() : canvas->TextWidth(AText);
}

void TChartAxis::CalcRect(TRect& R, bool InflateChartRectangle) {
    IAxisDateTime = IsDateTime();
    const auto shrink = [this, &R](int s) {
        if (FHorizontal) {
            if (FOtherSide)
                R.Top += s;
            else
                R.Bottom -= s;
        } else if (FOtherSide) {
            R.Right -= s;
        } else {
            R.Left += s;
        }
    };
    // Outwards: down for a bottom axis, right for a right-side axis.
    const auto outwards = [this](int p, int s) {
        const bool adds = FHorizontal ? !FOtherSide : FOtherSide;
        return adds ? p + s : p - s;
    };
    if (InflateChartRectangle) {
        if (IsDepthAxis) {
            PosTitle = R.Right;
        } else if (FTitle->Visible() && !FTitle->Caption().IsEmpty()) {
            shrink(
                InternalCalcSize(FTitle->Font(), FTitle->Angle(), FTitleSize, FTitle->Caption()));
            PosTitle = GetRectangleEdge(R);
        }
        if (Labels()) {
            shrink(SizeLabels());
            PosLabels = GetRectangleEdge(R);
        }
        const int t = (FParentChart ? FParentChart->CalcWallSize(this) : 0) + SizeTickAxis();
        if (t > 0) shrink(t);
        PosTitle = ApplyPosition(PosTitle, R);
        PosLabels = ApplyPosition(PosLabels, R);
    } else {
        PosAxis = ApplyPosition(GetRectangleEdge(R), R);
        PosLabels = outwards(PosAxis, SizeTickAxis());
        PosTitle = outwards(PosLabels, SizeLabels());
    }
}

// ---------------------------------------------------------------------------

void TChartAxis::Scroll(double Offset, bool CheckLimits) {
    if (CheckLimits) {
        if (Offset == 0 || !FParentChart) return;
        if (Offset > 0 && !(FParentChart->InternalMinMax(this, false, FHorizontal) > FMaximumValue))
            return;
        if (Offset < 0 && !(FParentChart->InternalMinMax(this, true, FHorizontal) < FMinimumValue))
            return;
    }
    FAutomatic = false;
    FAutomaticMaximum = false;
    FAutomaticMinimum = false;
    FMaximumValue += Offset;
    FMinimumValue += Offset;
    Repaint();
}

TRect TChartAxis::AxisRect() const {
    const int a = std::min(IStartPos, IEndPos);
    const int b = std::max(IStartPos, IEndPos);
    int c, d;
    if (PosLabels < PosAxis) {
        c = PosLabels;
        d = PosAxis + TeeAxisClickGap;
    } else {
        c = PosAxis - TeeAxisClickGap;
        d = PosLabels;
    }
    return FHorizontal ? TRect(a, c, b, d) : TRect(c, a, d, b);
}

bool TChartAxis::Clicked(int X, int Y) {
    if (!FParentChart || !FParentChart->IsAxisVisible(this)) return false;
    TRect r = AxisRect();
    if (FParentChart->View3D())
        r = FParentChart->Canvas()->CalcRect3D(r, FOtherSide ? FParentChart->Width3D() : 0);
    return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom;
}

void TChartAxis::IncDecDateTime(bool Increment, double& Value, double AnIncrement,
                                TDateTimeStep tmpWhichDateTime) const {
    const bool exact = FExactDateTime && IAxisDateTime && tmpWhichDateTime >= dtHalfMonth &&
                       tmpWhichDateTime != dtNone;
    TeeDateTimeIncrement(exact, Increment, Value, AnIncrement, tmpWhichDateTime);
}
