// Bar series, vertical and horizontal, with the multi-bar layouts.
//   [settings]   construction, copies, setters, gallery
//   [layout]     slots, bar widths, stacking origins, extremes, depth order
//   [drawing]    one bar, its shape, gradient and bevel, marks
//   [clicks]     hit tests
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_PLAIN(TBarSeriesGradient, TCustomTeeGradient)
QM_CLASS_ABSTRACT(TCustomBarSeries, TChartSeries)
QM_CLASS_OWNED(TBarSeries, TCustomBarSeries, TComponent)
QM_CLASS_OWNED(THorizBarSeries, TCustomBarSeries, TComponent)

QM_PUBLISHED(
    TBarSeriesGradient, Prop("Balance", &Self::Balance, &Self::SetBalance).Default(50),
    Prop("Direction", &Self::Direction, &Self::SetDirection).Default(gdTopBottom),
    Prop("MidColor", &Self::MidColor, &Self::SetMidColor).Default(clNone).Idents("TColor"),
    Prop("Relative", &Self::Relative, &Self::SetRelative).Default(false),
    Prop("StartColor", &Self::StartColor, &Self::SetStartColor).Default(clWhite).Idents("TColor"),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));

QM_PUBLISHED(
    TCustomBarSeries, Prop("AutoBarSize", &Self::AutoBarSize, &Self::SetAutoBarSize).Default(false),
    Prop("AutoMarkPosition", &Self::AutoMarkPosition, &Self::SetAutoMarkPosition).Default(true),
    Prop("BarBrush", &Self::BarBrush), Prop("BarPen", &Self::BarPen),
    Prop("BarStyle", &Self::BarStyle, &Self::SetBarStyle).Default(bsRectangle),
    Prop("BarWidthPercent", &Self::BarWidthPercent, &Self::SetBarWidthPercent).Default(70),
    Prop("BevelSize", &Self::BevelSize, &Self::SetBevelSize).Default(1),
    Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
    Prop("Gradient", &Self::Gradient),
    Prop("MultiBar", &Self::MultiBar, &Self::SetMultiBar).Default(mbSide),
    Prop("OffsetPercent", &Self::OffsetPercent, &Self::SetOffsetPercent).Default(0),
    Prop("SideMargins", &Self::SideMargins, &Self::SetSideMargins).Default(true),
    Prop("StackGroup", &Self::StackGroup, &Self::SetStackGroup).Default(0),
    Prop("UseYOrigin", &Self::UseYOrigin, &Self::SetUseOrigin).Default(true),
    Prop("YOrigin", &Self::YOrigin, &Self::SetOrigin), Prop("OnGetBarStyle", &Self::OnGetBarStyle));
QM_PUBLISHED(TBarSeries,
             Prop("CustomBarWidth", &Self::CustomBarWidth, &Self::SetCustomBarWidth).Default(0));
QM_PUBLISHED(THorizBarSeries,
             Prop("CustomBarHeight", &Self::CustomBarHeight, &Self::SetCustomBarHeight).Default(0));

namespace {
// The integer nearest to Value, halves to the even neighbour.
int Nearest(double Value) {
    return SafeInt(std::nearbyint(Value));
}
} // namespace

// [settings] -----------------------------------------------------------------

TBarSeriesGradient::TBarSeriesGradient(TNotifyEvent ChangedEvent)
    : TCustomTeeGradient(ChangedEvent), FChanged(ChangedEvent) {}

void TBarSeriesGradient::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TBarSeriesGradient*>(Source)) FRelative = g->FRelative;
    TCustomTeeGradient::Assign(Source);
}

void TBarSeriesGradient::SetRelative(bool Value) {
    if (Value == FRelative) return;
    FRelative = Value;
    DoChanged();
}

TCustomBarSeries::TCustomBarSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    FGradient =
        std::make_unique<TBarSeriesGradient>([this](TObject* Sender) { CanvasChanged(Sender); });
    FGradient->SetVisible(true);
    Marks()->SetVisible(true);
    Marks()->Callout()->SetLength(20);
}

TCustomBarSeries::~TCustomBarSeries() {
    FGradient.reset();
}

void TCustomBarSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomBarSeries*>(Source)) {
        FAutoBarSize = s->FAutoBarSize;
        FAutoMarkPosition = s->FAutoMarkPosition;
        FBarWidthPercent = s->FBarWidthPercent;
        FBarStyle = s->FBarStyle;
        FBevelSize = s->FBevelSize;
        FCustomBarSize = s->FCustomBarSize;
        FDark3D = s->FDark3D;
        FGradient->Assign(s->FGradient.get());
        FMultiBar = s->FMultiBar;
        FOffsetPercent = s->FOffsetPercent;
        FOrigin = s->FOrigin;
        FSideMargins = s->FSideMargins;
        FStackGroup = s->FStackGroup;
        FTransparency = s->FTransparency;
        FUseOrigin = s->FUseOrigin;
    }
    TChartSeries::Assign(Source);
}

TBarSeries::TBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner) {
    FGradient->SetDirection(gdTopBottom);
    MandatoryValues()->SetName(TeeMsg_ValuesBar);
}

THorizBarSeries::THorizBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner) {
    SetHorizontal();
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
    FGradient->SetDirection(gdLeftRight);
    MandatoryValues()->SetName(TeeMsg_ValuesBar);
}

void TCustomBarSeries::SetBarStyle(TBarStyle Value) {
    if (Value == FBarStyle) return;
    FBarStyle = Value;
    Repaint();
}

void TCustomBarSeries::SetTransparency(TTeeTransparency Value) {
    if (Value == FTransparency) return;
    FTransparency = Value;
    Repaint();
}

void TCustomBarSeries::SetMultiBar(TMultiBar Value) {
    FMultiBar = Value;
    SetOtherBars(true);
    Repaint();
}

void TCustomBarSeries::SetSideMargins(bool Value) {
    SetBooleanProperty(FSideMargins, Value);
    SetOtherBars(true);
}

void TCustomBarSeries::SetParentChart(TCustomAxisPanel* Value) {
    TChartSeries::SetParentChart(Value);
    SetOtherBars(false);
}

void TCustomBarSeries::SetOtherBars(bool SetOthers) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) {
        SetUseVisibleRange(FMultiBar != mbSelfStack);
        return;
    }
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        auto* s = dynamic_cast<TCustomBarSeries*>(chart->GetSeries(i));
        if (!s || !SameClass(s)) continue;
        if (SetOthers) {
            s->FMultiBar = FMultiBar;
            s->FSideMargins = FSideMargins;
            s->SetUseVisibleRange(FMultiBar != mbSelfStack);
        } else {
            if (s != this) {
                FMultiBar = s->FMultiBar;
                FSideMargins = s->FSideMargins;
                SetUseVisibleRange(FMultiBar != mbSelfStack);
            }
            return;
        }
    }
}

int TCustomBarSeries::NumSampleValues() {
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->GetSeries(i);
            if (s != this && dynamic_cast<TCustomBarSeries*>(s) && s->Count() > 0)
                return s->Count();
        }
    return 6;
}

void TCustomBarSeries::PrepareForGallery(bool IsEnabled) {
    TChartSeries::PrepareForGallery(IsEnabled);
    FBarWidthPercent = 85;
    SetMultiBar(mbNone);
}

void TCustomBarSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t :
         {&TeeMsg_Colors, &TeeMsg_Pyramid, &TeeMsg_Ellipse, &TeeMsg_InvPyramid, &TeeMsg_Gradient})
        AddSubChart(*t);
    if (SubGalleryStack())
        for (const AnsiString* t : {&TeeMsg_Stack, &TeeMsg_Stack100, &TeeMsg_SelfStack})
            AddSubChart(*t);
    AddSubChart(TeeMsg_Sides);
    AddSubChart(TeeMsg_SideAll);
}

void TCustomBarSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCustomBarSeries*>(Series);
    if (!s) return;
    if (Index >= 6) {
        TCustomAxisPanel* chart = s->ParentChart();
        if (chart && chart->SeriesCount() == 1) {
            if (TChartSeries* other = AddGallerySeries(s)) other->FillSampleValues(s->Count());
        }
    }
    const int shift = SubGalleryStack() ? 0 : 3;
    switch (Index < 6 ? Index : Index + shift) {
    case 1:
        s->SetColorEachPoint(true);
        break;
    case 2:
        s->SetBarStyle(bsPyramid);
        break;
    case 3:
        s->SetBarStyle(bsEllipse);
        break;
    case 4:
        s->SetBarStyle(bsInvPyramid);
        break;
    case 5:
        s->SetBarStyle(bsRectGradient);
        break;
    case 6:
        s->SetMultiBar(mbStacked);
        break;
    case 7:
        s->SetMultiBar(mbStacked100);
        break;
    case 8:
        s->SetMultiBar(mbSelfStack);
        break;
    case 9:
        s->SetMultiBar(mbSide);
        break;
    case 10:
        s->SetMultiBar(mbSideAll);
        break;
    default:
        TChartSeries::SetSubGallery(Series, Index);
    }
}

// [layout] -------------------------------------------------------------------

void TCustomBarSeries::DoBeforeDrawChart() {
    TChartSeries::DoBeforeDrawChart();
    FGroupBarCount = 0;
    FMaxBarCount = -1;
    FBarOrder = 1;
    FPointsBefore = 0;
    std::vector<int> groups;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    bool met = false;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (!s->Active() || !SameClass(s)) continue;
        if (s == this) met = true;
        const int n = s->Count();
        if (FMaxBarCount == -1 || FMaxBarCount < n) FMaxBarCount = n + (FSideMargins ? 1 : 0);
        switch (FMultiBar) {
        case mbNone:
        case mbSelfStack:
            FGroupBarCount = 1;
            break;
        case mbSide:
        case mbSideAll:
            ++FGroupBarCount;
            if (!met) ++FBarOrder;
            break;
        case mbStacked:
        case mbStacked100: {
            const int g = static_cast<TCustomBarSeries*>(s)->FStackGroup;
            if (std::find(groups.begin(), groups.end(), g) == groups.end()) {
                groups.push_back(g);
                ++FGroupBarCount;
                if (!met) ++FBarOrder;
            }
            break;
        }
        }
        if (!met) FPointsBefore += n;
    }
    if (FMultiBar == mbStacked || FMultiBar == mbStacked100) {
        const auto it = std::find(groups.begin(), groups.end(), FStackGroup);
        FBarOrder = static_cast<int>(it - groups.begin()) + 1;
    }
    if (chart->MaxPointsPerPage() > 0) FMaxBarCount = chart->MaxPointsPerPage();
}

void TCustomBarSeries::CalcBarSize(TChartAxis* CategoryAxis, int& A, int& B) {
    if (FCustomBarSize != 0) {
        FBarSize = FCustomBarSize;
    } else if (FMaxBarCount < 1 || FGroupBarCount < 1 || !CategoryAxis) {
        FBarSize = 0;
    } else {
        const int l = CategoryAxis->IAxisSize;
        const int slot =
            FAutoBarSize ? Nearest(l / (2.0 + CategoryAxis->Maximum() - CategoryAxis->Minimum()))
                         : l / FMaxBarCount;
        FBarSize = Nearest(FBarWidthPercent * 0.01 * slot) / FGroupBarCount;
        if (FBarSize % 2 != 0) ++FBarSize;
    }
    const int m = BarMargin();
    A += m;
    B += m;
}

int TCustomBarSeries::BarMargin() {
    int m = FMultiBar == mbSideAll ? FBarSize : FBarSize * FGroupBarCount;
    return FSideMargins ? m : m / 2;
}

int TCustomBarSeries::ApplyBarOffset(int Position) {
    return FOffsetPercent != 0 ? Position + Nearest(FOffsetPercent * FBarSize * 0.01) : Position;
}

TBarStyle TCustomBarSeries::GetBarStyle(int ValueIndex) {
    TBarStyle style = FBarStyle;
    if (OnGetBarStyle) OnGetBarStyle(this, ValueIndex, style);
    return style;
}

double TCustomBarSeries::PointOrigin(int ValueIndex, bool SumAll) {
    if (FMultiBar == mbStacked || FMultiBar == mbStacked100) {
        TCustomAxisPanel* chart = ParentChart();
        if (!chart) return 0;
        const bool positive = MandatoryValues()->Value(ValueIndex) >= 0;
        double result = 0;
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->GetSeries(i);
            if (!SumAll && s == this) break;
            auto* b = dynamic_cast<TCustomBarSeries*>(s);
            if (!b || !s->Active() || !SameClass(s) || s->Count() <= ValueIndex ||
                b->FStackGroup != FStackGroup)
                continue;
            const double v = s->GetOriginValue(ValueIndex);
            if (positive ? v > 0 : v < 0) result += v;
        }
        return result;
    }
    if (FMultiBar == mbSelfStack) {
        double result = 0;
        const double* v = MandatoryValues()->Data();
        for (int i = 0; i < ValueIndex; ++i)
            result += v[i];
        return result;
    }
    return FOrigin;
}

int TCustomBarSeries::ValuePos(int ValueIndex) {
    const double v = PointOrigin(ValueIndex, false) + MandatoryValues()->Value(ValueIndex);
    if (FMultiBar == mbStacked100) {
        const double total = PointOrigin(ValueIndex, true);
        return total != 0 ? CalcPosValue(v * 100.0 / total) : 0;
    }
    return CalcPosValue(v);
}

int TCustomBarSeries::InternalGetOriginPos(int ValueIndex, int DefaultOrigin) {
    switch (FMultiBar) {
    case mbStacked:
    case mbSelfStack:
        return CalcPosValue(PointOrigin(ValueIndex, false));
    case mbStacked100: {
        const double total = PointOrigin(ValueIndex, true);
        return total != 0 ? CalcPosValue(PointOrigin(ValueIndex, false) * 100.0 / total) : 0;
    }
    default:
        return FUseOrigin ? CalcPosValue(FOrigin) : DefaultOrigin;
    }
}

int TCustomBarSeries::GetOriginPos(int ValueIndex) {
    if (YIsMandatory()) {
        TChartAxis* v = GetVertAxis();
        return InternalGetOriginPos(ValueIndex, v ? v->IEndPos : 0);
    }
    TChartAxis* h = GetHorizAxis();
    return InternalGetOriginPos(ValueIndex, h ? h->IStartPos : 0);
}

double TCustomBarSeries::MaxMandatoryValue(double Value) {
    if (FMultiBar == mbStacked100) return 100;
    double result = Value;
    if (FMultiBar == mbSelfStack) {
        result = MandatoryValues()->Total();
    } else if (FMultiBar == mbStacked) {
        const double* v = MandatoryValues()->Data();
        for (int i = 0; i < Count(); ++i)
            result = std::max(result, PointOrigin(i, false) + v[i]);
    }
    return FUseOrigin ? std::max(result, FOrigin) : result;
}

double TCustomBarSeries::MinMandatoryValue(double Value) {
    if (FMultiBar == mbStacked100) return 0;
    double result = Value;
    if (FMultiBar == mbStacked || FMultiBar == mbSelfStack) {
        const double* v = MandatoryValues()->Data();
        for (int i = 0; i < Count(); ++i)
            result = std::min(result, PointOrigin(i, false) + v[i]);
    }
    return FUseOrigin ? std::min(result, FOrigin) : result;
}

namespace {
int SeriesIndex(TChartSeries* S) {
    TCustomAxisPanel* chart = S->ParentChart();
    return chart ? chart->SeriesList()->IndexOf(S) : 0;
}
} // namespace

double TBarSeries::MaxYValue() {
    return MaxMandatoryValue(TChartSeries::MaxYValue());
}
double TBarSeries::MinYValue() {
    return MinMandatoryValue(TChartSeries::MinYValue());
}
double TBarSeries::MaxXValue() {
    if (FMultiBar == mbSideAll) return Count() + FPointsBefore - 1;
    if (FMultiBar == mbSelfStack) return SeriesIndex(this);
    return TChartSeries::MaxXValue();
}
double TBarSeries::MinXValue() {
    if (FMultiBar == mbSelfStack) return SeriesIndex(this);
    return TChartSeries::MinXValue();
}
double THorizBarSeries::MaxXValue() {
    return MaxMandatoryValue(TChartSeries::MaxXValue());
}
double THorizBarSeries::MinXValue() {
    return MinMandatoryValue(TChartSeries::MinXValue());
}
double THorizBarSeries::MaxYValue() {
    if (FMultiBar == mbSideAll) return Count() + FPointsBefore - 1;
    if (FMultiBar == mbSelfStack) return SeriesIndex(this);
    return TChartSeries::MaxYValue();
}
double THorizBarSeries::MinYValue() {
    if (FMultiBar == mbSelfStack) return SeriesIndex(this);
    return TChartSeries::MinYValue();
}

namespace {
// Position along the category axis shared by both orientations.
int CategoryPos(TCustomBarSeries* S, TChartAxis* Axis, int BasePos, int ValueIndex) {
    const int half = S->BarSizePixels() / 2;
    int pos;
    switch (S->MultiBar()) {
    case mbSideAll:
        pos = (Axis ? Axis->CalcPosValue(ValueIndex + S->PointsBefore()) : 0) - half;
        break;
    case mbSelfStack:
        pos = (Axis ? Axis->CalcPosValue(SeriesIndex(S)) : 0) - half;
        break;
    case mbNone:
        pos = BasePos - half;
        break;
    default:
        pos = BasePos + SafeInt(std::nearbyint(S->BarSizePixels() *
                                               (S->BarOrder() - S->GroupBarCount() / 2.0 - 1)));
    }
    return S->ApplyBarOffset(pos);
}
} // namespace

int TBarSeries::CalcXPos(int ValueIndex) {
    return CategoryPos(this, GetHorizAxis(), TChartSeries::CalcXPos(ValueIndex), ValueIndex);
}

int THorizBarSeries::CalcYPos(int ValueIndex) {
    return CategoryPos(this, GetVertAxis(), TChartSeries::CalcYPos(ValueIndex), ValueIndex);
}

int TBarSeries::CalcYPos(int ValueIndex) {
    if (FMultiBar == mbNone || FMultiBar == mbSide || FMultiBar == mbSideAll)
        return TChartSeries::CalcYPos(ValueIndex);
    return ValuePos(ValueIndex);
}

int THorizBarSeries::CalcXPos(int ValueIndex) {
    if (FMultiBar == mbNone || FMultiBar == mbSide || FMultiBar == mbSideAll)
        return TChartSeries::CalcXPos(ValueIndex);
    return ValuePos(ValueIndex);
}

void TBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    CalcBarSize(GetHorizAxis(), LeftMargin, RightMargin);
}

void THorizBarSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    CalcBarSize(GetVertAxis(), TopMargin, BottomMargin);
}

int TCustomBarSeries::CalcMarkLength(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (Count() == 0 || !Marks()->Visible() || !chart) return 0;
    chart->Canvas()->AssignFont(Marks()->Font());
    int result = InternalCalcMarkLength(ValueIndex) + Marks()->Callout()->Length();
    if (Marks()->Pen()->Visible()) result += 2 * Marks()->Pen()->Width();
    return result;
}

int TBarSeries::InternalCalcMarkLength(int ValueIndex) {
    (void)ValueIndex;
    return ParentChart()->Canvas()->FontHeight();
}

int THorizBarSeries::InternalCalcMarkLength(int ValueIndex) {
    return ValueIndex == -1 ? MaxMarkWidth() : Marks()->TextWidth(ValueIndex);
}

void TBarSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    int l = CalcMarkLength(0);
    if (l <= 0) return;
    ++l;
    const bool inverted = GetVertAxis() && GetVertAxis()->Inverted();
    if (FUseOrigin && MandatoryValues()->MinValue() < FOrigin)
        (inverted ? TopMargin : BottomMargin) += l;
    if (!(FUseOrigin && MandatoryValues()->MaxValue() <= FOrigin))
        (inverted ? BottomMargin : TopMargin) += l;
}

void THorizBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    int l = CalcMarkLength(-1);
    if (l <= 0) return;
    ++l;
    const bool inverted = GetHorizAxis() && GetHorizAxis()->Inverted();
    if (FUseOrigin && MandatoryValues()->MinValue() < FOrigin) LeftMargin += l;
    if (!(FUseOrigin && MandatoryValues()->MaxValue() <= FOrigin))
        (inverted ? LeftMargin : RightMargin) += l;
}

void TCustomBarSeries::CalcZOrder() {
    TCustomAxisPanel* chart = ParentChart();
    if (FMultiBar != mbNone && chart)
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->GetSeries(i);
            if (s == this) break;
            if (s->Active() && SameClass(s)) {
                SetAutoZOrder(s->AutoZOrder());
                return;
            }
        }
    TChartSeries::CalcZOrder();
}

bool TBarSeries::MoreSameZOrder() {
    return FMultiBar == mbSideAll ? false : TCustomBarSeries::MoreSameZOrder();
}

bool TBarSeries::DrawSeriesForward(int ValueIndex) {
    const bool inverted = GetVertAxis() && GetVertAxis()->Inverted();
    switch (FMultiBar) {
    case mbStacked:
    case mbSelfStack: {
        const bool up = MandatoryValues()->Value(ValueIndex) >= FOrigin;
        return inverted ? !up : up;
    }
    case mbStacked100:
        return !inverted;
    default:
        return TCustomBarSeries::DrawSeriesForward(ValueIndex);
    }
}

bool THorizBarSeries::DrawSeriesForward(int ValueIndex) {
    const bool inverted = GetHorizAxis() && GetHorizAxis()->Inverted();
    switch (FMultiBar) {
    case mbNone:
        return TCustomBarSeries::DrawSeriesForward(ValueIndex);
    case mbSide:
    case mbSideAll:
        return false;
    case mbStacked:
    case mbSelfStack: {
        const double v = MandatoryValues()->Value(ValueIndex);
        return inverted ? v < 0 : v >= 0;
    }
    default:
        return !inverted;
    }
}

// [drawing] ------------------------------------------------------------------

bool TCustomBarSeries::Is3D() const {
    return ParentChart() && ParentChart()->View3D();
}

void TCustomBarSeries::SetPenBrushBar(TColor AColor) {
    TCustomAxisPanel* chart = ParentChart();
    chart->Canvas()->AssignVisiblePen(BarPen());
    const TColor back = BarBrush()->Color() == clAutoColor ? chart->Color() : BarBrush()->Color();
    chart->SetBrushCanvas(AColor, BarBrush(), back);
}

void TCustomBarSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor,
                                           TBrushStyle& BrushStyle) {
    (void)ValueIndex;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    chart->Canvas()->AssignVisiblePen(BarPen());
    BrushStyle = BarBrush()->Style();
    BackColor = BarBrush()->Color() == clAutoColor ? chart->Color() : BarBrush()->Color();
}

void TCustomBarSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    if (TCustomAxisPanel* chart = ParentChart();
        chart && BarBrush()->Image() && BarBrush()->Image()->Graphic())
        chart->Canvas()->Brush()->Assign(BarBrush());
    TChartSeries::DrawLegendShape(ValueIndex, Rect);
}

void TCustomBarSeries::BarRectangle(TColor BarColor, int ALeft, int ATop, int ARight, int ABottom) {
    (void)BarColor;
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (canvas->Brush()->Style() == bsSolid) {
        const auto penInBrushColour = [&] {
            canvas->Pen()->SetColor(canvas->Brush()->Color());
            if (canvas->Pen()->Style() == psClear) canvas->Pen()->SetStyle(psSolid);
        };
        if (ARight == ALeft || ATop == ABottom) {
            penInBrushColour();
            canvas->Line(ALeft, ATop, ARight, ABottom);
        } else if (canvas->Pen()->Width() > std::abs(ARight - ALeft) ||
                   canvas->Pen()->Width() > std::abs(ABottom - ATop)) {
            penInBrushColour();
            canvas->Brush()->SetStyle(bsClear);
        }
    }
    canvas->Rectangle(ALeft, ATop, ARight, ABottom);
}

void TCustomBarSeries::BeginBar(TRect R, TTeeBlend*& Blend) {
    Blend = nullptr;
    BarRect = R;
    if (FTransparency <= 0) return;
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (Is3D()) {
        const TRect a = canvas->RectFromRectZ(R, StartZ());
        const TRect b = canvas->RectFromRectZ(R, EndZ());
        R = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                  std::max(a.Bottom, b.Bottom));
    }
    Blend = canvas->BeginBlending(R, FTransparency);
}

void TBarSeries::DrawValue(int ValueIndex) {
    FBarColor = ValueColor(ValueIndex);
    if (FBarColor == clNone) return;
    const int left = CalcXPos(ValueIndex);
    int right = left + FBarSize + 1;
    if (FBarWidthPercent == 100 && FCustomBarSize == 0) {
        const bool inverted = GetHorizAxis() && GetHorizAxis()->Inverted();
        if (!inverted && ValueIndex < Count() - 1)
            right = CalcXPos(ValueIndex + 1);
        else if (inverted && ValueIndex > 0)
            right = CalcXPos(ValueIndex - 1);
    }
    int top = CalcYPos(ValueIndex);
    int bottom = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        if (bottom > top)
            ++bottom;
        else
            ++top;
        ++right;
    }
    TTeeBlend* blend = nullptr;
    BeginBar(TRect(left, std::min(top, bottom), right, std::max(top, bottom)), blend);
    TTeeFinally end([&] {
        if (blend) ParentChart()->Canvas()->EndBlending(blend);
    });
    DrawBar(ValueIndex, std::min(top, bottom), std::max(top, bottom));
}

void THorizBarSeries::DrawValue(int ValueIndex) {
    FBarColor = ValueColor(ValueIndex);
    if (FBarColor == clNone) return;
    const int top = CalcYPos(ValueIndex);
    int bottom = top + FBarSize + 1;
    if (FBarWidthPercent == 100 && FCustomBarSize == 0) {
        const bool inverted = GetVertAxis() && GetVertAxis()->Inverted();
        if (!inverted && ValueIndex > 0)
            bottom = CalcYPos(ValueIndex - 1);
        else if (inverted && ValueIndex < Count() - 1)
            bottom = CalcYPos(ValueIndex + 1);
    }
    int right = CalcXPos(ValueIndex);
    int left = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        if (left < right)
            ++right;
        else {
            ++left;
            --right;
        }
        ++bottom;
    }
    TTeeBlend* blend = nullptr;
    BeginBar(TRect(std::min(left, right), top, std::max(left, right), bottom), blend);
    TTeeFinally end([&] {
        if (blend) ParentChart()->Canvas()->EndBlending(blend);
    });
    DrawBar(ValueIndex, std::min(left, right), std::max(left, right));
}

// One drawing for both orientations: "across" runs over the bar's width, "along" over its value;
// the apex of pointed styles sits at the value end (top of a vertical bar, right of a horizontal).
void TCustomBarSeries::DrawBarShape(int BarIndex, int StartPos, int EndPos, bool Vertical) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    SetPenBrushBar(FBarColor);
    const TBarStyle style = GetBarStyle(BarIndex);
    const TRect& r = BarRect;
    const int lo = Vertical ? r.Left : r.Top;
    const int hi = Vertical ? r.Right : r.Bottom;
    const int mid = (lo + hi) / 2;
    const int base = Vertical ? EndPos : StartPos;
    const int apex = Vertical ? StartPos : EndPos;
    const auto P = [Vertical](int across, int along) {
        return Vertical ? TPoint(across, along) : TPoint(along, across);
    };
    const TPoint a = P(lo, StartPos), b = P(hi, EndPos);
    const auto arrow = [&] {
        canvas->Arrow(true, P(mid, base), P(mid, apex), hi - lo, (hi - lo) / 2, MiddleZ());
    };
    if (!Is3D()) {
        switch (style) {
        case bsPyramid:
        case bsCone: {
            const TPoint p[3] = {P(lo, base), P(mid, apex), P(hi, base)};
            canvas->Polygon(p, 2);
            break;
        }
        case bsInvPyramid: {
            const TPoint p[3] = {P(lo, apex), P(mid, base), P(hi, apex)};
            canvas->Polygon(p, 2);
            break;
        }
        case bsEllipse:
            canvas->Ellipse(r);
            break;
        case bsArrow:
            arrow();
            break;
        default:
            BarRectangle(FBarColor, r.Left, r.Top, r.Right, r.Bottom);
        }
    } else {
        const TPoint ia = P(lo, EndPos), ib = P(hi, StartPos);
        switch (style) {
        case bsPyramid:
            canvas->Pyramid(Vertical, a.x, a.y, b.x, b.y, StartZ(), EndZ(), FDark3D);
            break;
        case bsInvPyramid:
            canvas->Pyramid(Vertical, ia.x, ia.y, ib.x, ib.y, StartZ(), EndZ(), FDark3D);
            break;
        case bsCilinder:
            canvas->Cylinder(Vertical, r.Left, r.Top, r.Right, r.Bottom, StartZ(), EndZ(), FDark3D);
            break;
        case bsEllipse:
            canvas->EllipseWithZ(r.Left, r.Top, r.Right, r.Bottom, MiddleZ());
            break;
        case bsArrow:
            arrow();
            break;
        case bsCone:
            canvas->Cone(Vertical, r.Left, r.Top, r.Right, r.Bottom, StartZ(), EndZ(), FDark3D,
                         FConePercent);
            break;
        default:
            canvas->Cube(a.x, b.x, a.y, b.y, StartZ(), EndZ(), FDark3D);
        }
    }
    if (style == bsRectGradient)
        BarGradient(BarIndex, TRect(a.x, a.y, b.x, b.y));
    else if (style == bsBevel)
        DrawBevel();
}

void TBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos) {
    DrawBarShape(BarIndex, StartPos, EndPos, true);
}

void THorizBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos) {
    DrawBarShape(BarIndex, StartPos, EndPos, false);
}

TColor TCustomBarSeries::CalcGradientColor(int ValueIndex) {
    TColor result = FBarColor;
    if (FGradient->Relative()) {
        TChartValueList* m = MandatoryValues();
        const double lo = FUseOrigin ? FOrigin : m->MinValue();
        const double hi = m->MaxValue();
        const double t = hi != lo ? (m->Value(ValueIndex) - lo) / (hi - lo) : 1.0;
        uint8_t sr, sg, sb, br, bg, bb;
        RGBValue(FGradient->StartColor(), sr, sg, sb);
        RGBValue(FBarColor, br, bg, bb);
        const auto mix = [t](uint8_t s, uint8_t b) {
            return std::clamp(s + Nearest((b - s) * t), 0, 255);
        };
        result = mix(sr, br) | (mix(sg, bg) << 8) | (mix(sb, bb) << 16);
    }
    FGradient->SetEndColor(result);
    return result;
}

void TCustomBarSeries::BarGradient(int ValueIndex, TRect R) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    CalcGradientColor(ValueIndex);
    const bool pen = BarPen()->Visible();
    const int w = BarPen()->Width();
    if (!Is3D()) {
        if (pen) {
            ++R.Left;
            ++R.Top;
            R.Right -= w;
            R.Bottom -= w;
        }
        FGradient->Draw(canvas, R);
    } else if (chart->View3DOptions()->Orthogonal()) {
        if (pen) {
            ++R.Left;
            ++R.Top;
            R.Right -= w - 1;
            R.Bottom -= w - 1;
        }
        FGradient->Draw(canvas, canvas->CalcRect3D(R, StartZ()));
    } else {
        if (pen) R = TRect(R.Left + w, R.Top + w, R.Right - w, R.Bottom - w);
        FGradient->Draw(canvas, canvas->FourPointsFromRect(R, StartZ()));
    }
}

void TCustomBarSeries::DrawBevel() {
    TCustomAxisPanel* chart = ParentChart();
    if (Is3D() && !chart->View3DOptions()->Orthogonal()) return;
    TRect r = BarRect;
    if (BarPen()->Visible()) {
        const int w = BarPen()->Width();
        r = TRect(r.Left + w, r.Top + w, r.Right - w, r.Bottom - w);
        if (Is3D()) {
            ++r.Right;
            ++r.Bottom;
        }
    }
    TCanvas3D* canvas = chart->Canvas();
    if (Is3D()) r = canvas->CalcRect3D(r, StartZ());
    canvas->Frame3D(r, ApplyBright(FBarColor, DarkerColorQuantity),
                    ApplyDark(FBarColor, DarkColorQuantity), FBevelSize);
}

void TBarSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    const int w = FBarSize / 2;
    TMarksCallout* c = Marks()->Callout();
    int l = c->Length() + c->Distance();
    if (GetOriginPos(ValueIndex) >= APosition->ArrowFrom.y) {
        APosition->ArrowFrom.y -= c->Distance();
    } else {
        l = -l - APosition->Height;
        APosition->ArrowFrom.y += c->Distance();
    }
    APosition->LeftTop.x += w;
    APosition->ArrowTo.x += w;
    APosition->ArrowFrom.x += w;
    APosition->LeftTop.y -= l;
    APosition->ArrowTo.y -= l;
    if (FAutoMarkPosition) Marks()->AntiOverlap(FirstVisibleIndex(), ValueIndex, *APosition);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

void THorizBarSeries::DrawMark(int ValueIndex, const AnsiString& St,
                               TSeriesMarkPosition* APosition) {
    const int w = FBarSize / 2;
    TMarksCallout* c = Marks()->Callout();
    int l = c->Length() + c->Distance();
    if (GetOriginPos(ValueIndex) <= APosition->ArrowFrom.x) {
        APosition->ArrowFrom.x += c->Distance();
    } else {
        l = -l - APosition->Width;
        APosition->ArrowFrom.x -= c->Distance();
    }
    APosition->LeftTop.y += APosition->Height / 2 + w;
    APosition->ArrowTo.y += w;
    APosition->ArrowFrom.y += w;
    APosition->LeftTop.x += APosition->Width / 2 + l;
    APosition->ArrowTo.x += l;
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

// [clicks] -------------------------------------------------------------------

int TCustomBarSeries::Clicked(int X, int Y) {
    const int first = FirstVisibleIndex();
    if (first < 0) return -1;
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = first; i <= last; ++i)
        if (InternalClicked(i, TPoint(X, Y))) return i;
    return -1;
}

bool TBarSeries::InternalClicked(int ValueIndex, const TPoint& APoint) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return false;
    TCanvas3D* canvas = chart->Canvas();
    TPoint p = APoint;
    const int x = CalcXPos(ValueIndex);
    const int y = CalcYPos(ValueIndex), origin = GetOriginPos(ValueIndex);
    const int top = std::min(y, origin), bottom = std::max(y, origin);
    if (FBarStyle == bsPyramid || FBarStyle == bsInvPyramid || FBarStyle == bsCone) {
        const bool inv = FBarStyle == bsInvPyramid;
        const int baseY = inv ? top : bottom, apexY = inv ? bottom : top;
        if (!Is3D())
            return p.x >= x && p.x <= x + FBarSize &&
                   PointInTriangle(p, x, x + FBarSize, baseY, apexY);
        const TPoint poly[3] = {
            canvas->Calculate3DPosition(x, baseY, StartZ()),
            canvas->Calculate3DPosition((x + x + FBarSize) / 2, apexY, MiddleZ()),
            canvas->Calculate3DPosition(x + FBarSize, baseY, StartZ())};
        return PointInPolygon(p, poly, 2);
    }
    if (Is3D()) canvas->Calculate2DPosition(p.x, p.y, StartZ());
    if (p.x < x || p.x > x + FBarSize) return false;
    if (FBarStyle == bsEllipse) return PointInEllipse(p, TRect(x, top, x + FBarSize, bottom));
    return p.y >= top && p.y <= bottom;
}

bool THorizBarSeries::InternalClicked(int ValueIndex, const TPoint& APoint) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return false;
    TCanvas3D* canvas = chart->Canvas();
    TPoint p = APoint;
    const int y = CalcYPos(ValueIndex);
    const int x = CalcXPos(ValueIndex), origin = GetOriginPos(ValueIndex);
    const int left = std::min(x, origin), right = std::max(x, origin);
    if (FBarStyle == bsPyramid || FBarStyle == bsInvPyramid || FBarStyle == bsCone) {
        const bool inv = FBarStyle == bsInvPyramid;
        const int baseX = inv ? right : left, apexX = inv ? left : right;
        if (!Is3D())
            return p.y >= y && p.y <= y + FBarSize &&
                   PointInHorizTriangle(p, y, y + FBarSize, baseX, apexX);
        const TPoint poly[3] = {
            canvas->Calculate3DPosition(baseX, y, StartZ()),
            canvas->Calculate3DPosition(apexX, (y + y + FBarSize) / 2, MiddleZ()),
            canvas->Calculate3DPosition(baseX, y + FBarSize, StartZ())};
        return PointInPolygon(p, poly, 2);
    }
    if (Is3D()) canvas->Calculate2DPosition(p.x, p.y, StartZ());
    if (p.y < y || p.y > y + FBarSize) return false;
    if (FBarStyle == bsEllipse) return PointInEllipse(p, TRect(left, y, right, y + FBarSize));
    return p.x >= left && p.x <= right;
}
