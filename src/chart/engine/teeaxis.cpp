// Axis construction, settings, custom labels and the published properties.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/props.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

int TeeMaxPixelPos = 67108863;

namespace {
int Mod360(int Value) {
    return Value % 360;
}
} // namespace

// ---------------------------------------------------------------------------
// Grid pen

void TAxisGridPen::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TAxisGridPen*>(Source)) {
        FZ = g->FZ;
        FCentered = g->FCentered;
    }
    TDottedGrayPen::Assign(Source);
}

void TAxisGridPen::SetZ(double Value) {
    if (FZ != Value) {
        FZ = Value;
        if (OnChange) OnChange(this);
    }
}

void TAxisGridPen::SetCentered(bool Value) {
    if (FCentered != Value) {
        FCentered = Value;
        if (OnChange) OnChange(this);
    }
}

// ---------------------------------------------------------------------------
// Title

TChartAxisTitle::TChartAxisTitle(TCustomTeePanel* AOwner) : TTeeCustomShape(AOwner) {
    // A title is plain text unless a frame is asked for.
    SetTransparent(true);
}

void TChartAxisTitle::Assign(TPersistent* Source) {
    if (auto* t = dynamic_cast<TChartAxisTitle*>(Source)) {
        FAngle = t->FAngle;
        FCaption = t->FCaption;
    }
    TTeeCustomShape::Assign(Source);
}

void TChartAxisTitle::SetAngle(int Value) {
    Value = Mod360(Value);
    if (FAngle != Value) {
        FAngle = Value;
        Repaint();
    }
}

void TChartAxisTitle::SetCaption(const AnsiString& Value) {
    if (FCaption != Value) {
        FCaption = Value;
        Repaint();
    }
}

// ---------------------------------------------------------------------------
// Custom labels

TAxisItem::TAxisItem(TCustomTeePanel* AOwner) : TTeeCustomShape(AOwner) {
    SetTransparent(true);
}

void TAxisItem::SetText(const AnsiString& Value) {
    if (FText != Value) {
        FText = Value;
        Repaint();
    }
}

void TAxisItem::SetValue(double Value) {
    if (FValue != Value) {
        FValue = Value;
        Repaint();
    }
}

void TAxisItem::Repaint() {
    if (FOwnerList && FOwnerList->Axis() && FOwnerList->Axis()->ParentChart())
        FOwnerList->Axis()->ParentChart()->Invalidate();
}

TAxisItems::TAxisItems(TChartAxis* AAxis)
    : FAxis(AAxis), FFormat(std::make_unique<TTeeShape>(AAxis ? AAxis->ParentChart() : nullptr)) {
    FFormat->SetTransparent(true);
}

TAxisItems::~TAxisItems() {
    for (int i = 0; i < Count(); ++i)
        delete static_cast<TAxisItem*>(TList::Items(i));
    TList::Clear();
}

TAxisItem* TAxisItems::Add(double Value) {
    auto item = std::make_unique<TAxisItem>(FAxis ? FAxis->ParentChart() : nullptr);
    item->FOwnerList = this;
    item->SetTransparent(true);
    item->FValue = Value;
    TList::Add(item.get());
    return item.release();
}

TAxisItem* TAxisItems::Add(double Value, const AnsiString& Text) {
    TAxisItem* item = Add(Value);
    item->FText = Text;
    return item;
}

void TAxisItems::CopyFrom(TAxisItems* Source) {
    FFormat->Assign(Source->Format());
    Clear();
    for (int i = 0; i < Source->Count(); ++i)
        Add(Source->Get(i)->Value(), Source->Get(i)->Text());
}

void TAxisItems::Clear() {
    for (int i = 0; i < Count(); ++i)
        delete static_cast<TAxisItem*>(TList::Items(i));
    TList::Clear();
    if (FAxis && FAxis->ParentChart()) FAxis->ParentChart()->Invalidate();
}

// ---------------------------------------------------------------------------
// Axis construction

namespace {
TCustomAxisPanel* ChartOf(TCollection* Collection) {
    auto* axes = dynamic_cast<TChartCustomAxes*>(Collection);
    return axes ? axes->Chart() : nullptr;
}

// The five standard axes are made outside the custom-axes collection.
TCollection* JoinCollection(TCollection* Collection) {
    TCustomAxisPanel* chart = ChartOf(Collection);
    return chart && chart->Axes() && chart->Axes()->Count() >= 5 ? Collection : nullptr;
}
} // namespace

TChartAxis::TChartAxis(TCollection* Collection) : TCollectionItem(JoinCollection(Collection)) {
    Init(ChartOf(Collection));
}

TChartAxis::TChartAxis(TCustomAxisPanel* Chart)
    : TChartAxis(Chart ? static_cast<TCollection*>(Chart->CustomAxes()) : nullptr) {}

TNotifyEvent TChartAxis::CanvasChangedEvent() {
    return [this](TObject* Sender) {
        if (FParentChart) FParentChart->CanvasChanged(Sender);
    };
}

void TChartAxis::Init(TCustomAxisPanel* AChart) {
    FParentChart = AChart;
    SetCalcPosValue();
    FSeriesList = std::make_unique<TChartSeriesList>(AChart);
    FItems = std::make_unique<TAxisItems>(this);
    FItems->Format()->SetTransparent(true);
    FAxisValuesFormat = TeeMsg_DefValueFormat;
    FTitle = std::make_unique<TChartAxisTitle>(AChart);
    FAxis = std::make_unique<TChartAxisPen>(CanvasChangedEvent());
    FGrid = std::make_unique<TAxisGridPen>(CanvasChangedEvent());
    FMinorGrid = std::make_unique<TChartHiddenPen>(CanvasChangedEvent());
    FMinorTicks = std::make_unique<TDarkGrayPen>(CanvasChangedEvent());
    FTicks = std::make_unique<TDarkGrayPen>(CanvasChangedEvent());
    FTicksInner = std::make_unique<TDarkGrayPen>(CanvasChangedEvent());
    FEndPosition = 100;
    if (AChart && AChart->Axes()) AChart->Axes()->Add(this);
}

TChartAxis::~TChartAxis() {
    if (FParentChart) {
        FParentChart->NotifyAxisFreed(this);
        if (FParentChart->Axes()) FParentChart->Axes()->Remove(this);
    }
}

void TChartAxis::Assign(TPersistent* Source) {
    auto* a = dynamic_cast<TChartAxis*>(Source);
    if (!a) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAxis->Assign(a->FAxis.get());
    FItems->CopyFrom(a->FItems.get());
    FLabelsAlign = a->FLabelsAlign;
    FLabelsAngle = a->FLabelsAngle;
    FLabelsExponent = a->FLabelsExponent;
    FLabelsMultiLine = a->FLabelsMultiLine;
    FLabelsSeparation = a->FLabelsSeparation;
    FLabelsSize = a->FLabelsSize;
    FLabelStyle = a->FLabelStyle;
    FLabelsOnAxis = a->FLabelsOnAxis;
    FTicks->Assign(a->FTicks.get());
    FTicksInner->Assign(a->FTicksInner.get());
    FTitleSize = a->FTitleSize;
    FGrid->Assign(a->FGrid.get());
    FMinorTicks->Assign(a->FMinorTicks.get());
    FMinorGrid->Assign(a->FMinorGrid.get());
    FTickLength = a->FTickLength;
    FMinorTickLength = a->FMinorTickLength;
    FMinorTickCount = a->FMinorTickCount;
    FTickInnerLength = a->FTickInnerLength;
    FAxisValuesFormat = a->FAxisValuesFormat;
    FDesiredIncrement = a->FDesiredIncrement;
    FMaximumValue = a->FMaximumValue;
    FMaximumOffset = a->FMaximumOffset;
    FMinimumValue = a->FMinimumValue;
    FMinimumOffset = a->FMinimumOffset;
    FAutomatic = a->FAutomatic;
    FAutomaticMaximum = a->FAutomaticMaximum;
    FAutomaticMinimum = a->FAutomaticMinimum;
    FTitle->Assign(a->FTitle.get());
    FDateTimeFormat = a->FDateTimeFormat;
    FLogarithmic = a->FLogarithmic;
    FLogarithmicBase = a->FLogarithmicBase;
    FInverted = a->FInverted;
    FExactDateTime = a->FExactDateTime;
    FRoundFirstLabel = a->FRoundFirstLabel;
    FTickOnLabelsOnly = a->FTickOnLabelsOnly;
    IsDepthAxis = a->IsDepthAxis;
    FStartPosition = a->FStartPosition;
    FEndPosition = a->FEndPosition;
    FPositionPercent = a->FPositionPercent;
    FPosUnits = a->FPosUnits;
    FVisible = a->FVisible;
    FHorizontal = a->FHorizontal;
    FOtherSide = a->FOtherSide;
    SetCalcPosValue();
    Repaint();
}

AnsiString TChartAxis::GetDisplayName() const {
    if (Collection()) return TeeMsg_CustomAxesEditor + IntToStr(Index());
    if (FParentChart) {
        if (this == FParentChart->LeftAxis()) return TeeMsg_LeftAxis;
        if (this == FParentChart->RightAxis()) return TeeMsg_RightAxis;
        if (this == FParentChart->TopAxis()) return TeeMsg_TopAxis;
        if (this == FParentChart->BottomAxis()) return TeeMsg_BottomAxis;
        if (this == FParentChart->DepthAxis()) return TeeMsg_DepthAxis;
    }
    return TCollectionItem::GetDisplayName();
}

bool TChartAxis::IsCustom() const {
    return Collection() != nullptr;
}

bool TChartAxis::IsZPosStored() const {
    if (IsDepthAxis) return false;
    return FOtherSide ? FZPosition != 100 : FZPosition != 0;
}

bool TChartAxis::IsAxisValuesFormatStored() const {
    return FAxisValuesFormat != TeeMsg_DefValueFormat;
}

bool TChartAxis::IsReading() const {
    return FParentChart && FParentChart->IsLoading();
}

void TChartAxis::Repaint() {
    if (FParentChart) FParentChart->Invalidate();
}

void TChartAxis::SetBooleanProperty(bool& Variable, bool Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TChartAxis::SetIntegerProperty(int& Variable, int Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TChartAxis::SetDoubleProperty(double& Variable, double Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TChartAxis::SetStringProperty(AnsiString& Variable, const AnsiString& Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

// ---------------------------------------------------------------------------
// Setters

void TChartAxis::SetAutomatic(bool Value) {
    SetBooleanProperty(FAutomatic, Value);
    if (!IsReading()) {
        FAutomaticMinimum = Value;
        FAutomaticMaximum = Value;
    }
}

void TChartAxis::SetAutomaticMaximum(bool Value) {
    SetBooleanProperty(FAutomaticMaximum, Value);
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMinimum)
        FAutomatic = true;
}

void TChartAxis::SetAutomaticMinimum(bool Value) {
    SetBooleanProperty(FAutomaticMinimum, Value);
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMaximum)
        FAutomatic = true;
}

void TChartAxis::SetAxis(TChartAxisPen* Value) {
    FAxis->Assign(Value);
}

void TChartAxis::SetAxisValuesFormat(const AnsiString& Value) {
    SetStringProperty(FAxisValuesFormat, Value);
}

void TChartAxis::SetDateTimeFormat(const AnsiString& Value) {
    SetStringProperty(FDateTimeFormat, Value);
}

void TChartAxis::SetExactDateTime(bool Value) {
    SetBooleanProperty(FExactDateTime, Value);
}

void TChartAxis::SetGrid(TAxisGridPen* Value) {
    FGrid->Assign(Value);
}

void TChartAxis::SetDesiredIncrement(double Value) {
    if (Value < 0) throw AxisException(TeeMsg_AxisIncrementNeg);
    SetDoubleProperty(FDesiredIncrement, Value);
}

void TChartAxis::SetInverted(bool Value) {
    SetBooleanProperty(FInverted, Value);
}

void TChartAxis::SetHorizontal(bool Value) {
    SetBooleanProperty(FHorizontal, Value);
    SetCalcPosValue();
}

void TChartAxis::SetOtherSide(bool Value) {
    SetBooleanProperty(FOtherSide, Value);
}

bool TChartAxis::Labels() const {
    return FItems->Format()->Visible();
}

void TChartAxis::SetLabels(bool Value) {
    if (Labels() != Value) {
        FItems->Format()->SetVisible(Value);
        Repaint();
    }
}

void TChartAxis::SetLabelsAlign(TAxisLabelAlign Value) {
    if (FLabelsAlign != Value) {
        FLabelsAlign = Value;
        Repaint();
    }
}

void TChartAxis::SetLabelsAngle(int Value) {
    SetIntegerProperty(FLabelsAngle, Mod360(Value));
}

void TChartAxis::SetLabelsExponent(bool Value) {
    SetBooleanProperty(FLabelsExponent, Value);
}

TTeeFont* TChartAxis::LabelsFont() const {
    return FItems->Format()->Font();
}

void TChartAxis::SetLabelsFont(TTeeFont* Value) {
    FItems->Format()->Font()->Assign(Value);
}

void TChartAxis::SetLabelsMultiLine(bool Value) {
    SetBooleanProperty(FLabelsMultiLine, Value);
}

void TChartAxis::SetLabelsOnAxis(bool Value) {
    SetBooleanProperty(FLabelsOnAxis, Value);
}

void TChartAxis::SetLabelsSeparation(int Value) {
    if (Value < 0) throw AxisException(TeeMsg_AxisLabelSep);
    SetIntegerProperty(FLabelsSeparation, Value);
}

void TChartAxis::SetLabelsSize(int Value) {
    SetIntegerProperty(FLabelsSize, Value);
}

void TChartAxis::SetLabelStyle(TAxisLabelStyle Value) {
    if (FLabelStyle != Value) {
        FLabelStyle = Value;
        Repaint();
    }
}

void TChartAxis::SetLogarithmic(bool Value) {
    if (Value && IsDateTime()) throw AxisException(TeeMsg_AxisLogDateTime);
    if (Value) {
        AdjustMaxMin();
        if (IMinimum < 0 || IMaximum < 0) throw AxisException(TeeMsg_AxisLogNotPositive);
    }
    SetBooleanProperty(FLogarithmic, Value);
    SetCalcPosValue();
}

void TChartAxis::SetLogarithmicBase(double Value) {
    // A base of 1 or less would make the label walk step forever or backwards.
    if (!(Value >= 2)) throw AxisException(TeeMsg_AxisLogBase);
    SetDoubleProperty(FLogarithmicBase, Value);
}

void TChartAxis::SetMaximum(double Value) {
    if (!IsReading() && Value < FMinimumValue) throw AxisException(TeeMsg_AxisMaxMin);
    SetDoubleProperty(FMaximumValue, Value);
}

void TChartAxis::SetMinimum(double Value) {
    if (!IsReading() && Value > FMaximumValue) throw AxisException(TeeMsg_AxisMinMax);
    SetDoubleProperty(FMinimumValue, Value);
}

void TChartAxis::SetMinMax(double AMin, double AMax) {
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    if (AMin > AMax) std::swap(AMin, AMax);
    SetDoubleProperty(FMinimumValue, AMin);
    SetDoubleProperty(FMaximumValue, AMax);
    if (FMaximumValue - FMinimumValue < MinAxisRange)
        SetDoubleProperty(FMaximumValue, FMinimumValue + MinAxisRange);
}

void TChartAxis::SetMaximumOffset(int Value) {
    SetIntegerProperty(FMaximumOffset, Value);
}

void TChartAxis::SetMinimumOffset(int Value) {
    SetIntegerProperty(FMinimumOffset, Value);
}

void TChartAxis::SetMinorGrid(TChartHiddenPen* Value) {
    FMinorGrid->Assign(Value);
}

void TChartAxis::SetMinorTickCount(int Value) {
    SetIntegerProperty(FMinorTickCount, Value);
}

void TChartAxis::SetMinorTickLength(int Value) {
    SetIntegerProperty(FMinorTickLength, Value);
}

void TChartAxis::SetMinorTicks(TDarkGrayPen* Value) {
    FMinorTicks->Assign(Value);
}

void TChartAxis::SetStartPosition(double Value) {
    SetDoubleProperty(FStartPosition, Value);
}

void TChartAxis::SetEndPosition(double Value) {
    SetDoubleProperty(FEndPosition, Value);
}

void TChartAxis::SetPositionPercent(double Value) {
    SetDoubleProperty(FPositionPercent, Value);
}

void TChartAxis::SetPosUnits(TTeeUnits Value) {
    if (FPosUnits != Value) {
        FPosUnits = Value;
        Repaint();
    }
}

void TChartAxis::SetRoundFirstLabel(bool Value) {
    SetBooleanProperty(FRoundFirstLabel, Value);
}

void TChartAxis::SetTickInnerLength(int Value) {
    SetIntegerProperty(FTickInnerLength, Value);
}

void TChartAxis::SetTickLength(int Value) {
    SetIntegerProperty(FTickLength, Value);
}

void TChartAxis::SetTicks(TDarkGrayPen* Value) {
    FTicks->Assign(Value);
}

void TChartAxis::SetTicksInner(TDarkGrayPen* Value) {
    FTicksInner->Assign(Value);
}

void TChartAxis::SetTickOnLabelsOnly(bool Value) {
    SetBooleanProperty(FTickOnLabelsOnly, Value);
}

void TChartAxis::SetTitle(TChartAxisTitle* Value) {
    FTitle->Assign(Value);
}

void TChartAxis::SetTitleSize(int Value) {
    SetIntegerProperty(FTitleSize, Value);
}

void TChartAxis::SetVisible(bool Value) {
    SetBooleanProperty(FVisible, Value);
}

void TChartAxis::SetZPosition(double Value) {
    SetDoubleProperty(FZPosition, Value);
}

// ---------------------------------------------------------------------------

TChartDepthAxis::TChartDepthAxis(TCollection* Collection) : TChartAxis(Collection) {
    IsDepthAxis = true;
    SetVisible(false);
    SetCalcPosValue();
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel* Chart) : TChartAxis(Chart) {
    IsDepthAxis = true;
    SetVisible(false);
    SetCalcPosValue();
}

TChartCustomAxes::TChartCustomAxes(TCustomAxisPanel* AOwner)
    : TOwnedCollection(AOwner, &TChartAxis::ClassInfo), FChart(AOwner) {}

// ---------------------------------------------------------------------------

QM_CLASS_PLAIN(TAxisGridPen, TDottedGrayPen)
QM_CLASS_PLAIN(TChartAxisTitle, TTeeCustomShape)
QM_CLASS_PLAIN(TAxisItem, TTeeCustomShape)
QM_CLASS_ABSTRACT(TAxisItems, TList)
QM_CLASS_PLAIN(TChartSeriesList, TList)
QM_CLASS_OWNED(TChartAxis, TCollectionItem, TCollection)
QM_CLASS_OWNED(TChartDepthAxis, TChartAxis, TCollection)
QM_CLASS_ABSTRACT(TChartCustomAxes, TOwnedCollection)

QM_PUBLISHED(TAxisGridPen,
             Prop("ZPosition", &Self::ZPosition, &Self::SetZPosition).Stored(&Self::IsZStored));

QM_PUBLISHED(TChartAxisTitle,
             Prop("Angle", &Self::Angle, &Self::SetAngle).Stored(&Self::IsAngleStored),
             Prop("Caption", &Self::Caption, &Self::SetCaption),
             Prop("Font", &Self::Font, &Self::SetFont),
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(true),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));

QM_PUBLISHED(TAxisItem, Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),
             Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),
             Prop("Font", &Self::Font, &Self::SetFont),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("Shadow", &Self::Shadow, &Self::SetShadow),
             Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(true),
             Prop("Text", &Self::Text, &Self::SetText),
             Prop("Value", &Self::Value, &Self::SetValue));

QM_PUBLISHED(
    TChartAxis, Prop("Automatic", &Self::Automatic, &Self::SetAutomatic).Default(true),
    Prop("AutomaticMaximum", &Self::AutomaticMaximum, &Self::SetAutomaticMaximum).Default(true),
    Prop("AutomaticMinimum", &Self::AutomaticMinimum, &Self::SetAutomaticMinimum).Default(true),
    Prop("Axis", &Self::Axis, &Self::SetAxis),
    Prop("AxisValuesFormat", &Self::AxisValuesFormat, &Self::SetAxisValuesFormat)
        .Stored(&Self::IsAxisValuesFormatStored),
    Prop("DateTimeFormat", &Self::DateTimeFormat, &Self::SetDateTimeFormat),
    Prop("ExactDateTime", &Self::ExactDateTime, &Self::SetExactDateTime).Default(true),
    Prop("Grid", &Self::Grid, &Self::SetGrid),
    Prop("GridCentered", &Self::GridCentered, &Self::SetGridCentered).Default(false),
    Prop("Increment", &Self::Increment, &Self::SetIncrement).Default(0.0),
    Prop("Inverted", &Self::Inverted, &Self::SetInverted).Default(false),
    Prop("Horizontal", &Self::Horizontal, &Self::SetHorizontal).Stored(&Self::IsCustom),
    Prop("OtherSide", &Self::OtherSide, &Self::SetOtherSide).Stored(&Self::IsCustom),
    Prop("Labels", &Self::Labels, &Self::SetLabels).Default(true),
    Prop("LabelsAlign", &Self::LabelsAlign, &Self::SetLabelsAlign).Default(alDefault),
    Prop("LabelsAngle", &Self::LabelsAngle, &Self::SetLabelsAngle).Default(0),
    Prop("LabelsExponent", &Self::LabelsExponent, &Self::SetLabelsExponent).Default(false),
    Prop("LabelsFont", &Self::LabelsFont, &Self::SetLabelsFont),
    Prop("LabelsMultiLine", &Self::LabelsMultiLine, &Self::SetLabelsMultiLine).Default(false),
    Prop("LabelsOnAxis", &Self::LabelsOnAxis, &Self::SetLabelsOnAxis).Default(true),
    Prop("LabelsSeparation", &Self::LabelsSeparation, &Self::SetLabelsSeparation).Default(10),
    Prop("LabelsSize", &Self::LabelsSize, &Self::SetLabelsSize).Default(0),
    Prop("LabelStyle", &Self::LabelStyle, &Self::SetLabelStyle).Default(talAuto),
    Prop("Logarithmic", &Self::Logarithmic, &Self::SetLogarithmic).Default(false),
    Prop("LogarithmicBase", &Self::LogarithmicBase, &Self::SetLogarithmicBase)
        .Stored(&Self::IsLogBaseStored),
    Prop("Maximum", &Self::Maximum, &Self::SetMaximum).Stored(&Self::IsMaxStored),
    Prop("MaximumOffset", &Self::MaximumOffset, &Self::SetMaximumOffset).Default(0),
    Prop("Minimum", &Self::Minimum, &Self::SetMinimum).Stored(&Self::IsMinStored),
    Prop("MinimumOffset", &Self::MinimumOffset, &Self::SetMinimumOffset).Default(0),
    Prop("MinorGrid", &Self::MinorGrid, &Self::SetMinorGrid),
    Prop("MinorTickCount", &Self::MinorTickCount, &Self::SetMinorTickCount).Default(3),
    Prop("MinorTickLength", &Self::MinorTickLength, &Self::SetMinorTickLength).Default(2),
    Prop("MinorTicks", &Self::MinorTicks, &Self::SetMinorTicks),
    Prop("StartPosition", &Self::StartPosition, &Self::SetStartPosition)
        .Stored(&Self::IsStartStored),
    Prop("EndPosition", &Self::EndPosition, &Self::SetEndPosition).Stored(&Self::IsEndStored),
    Prop("PositionPercent", &Self::PositionPercent, &Self::SetPositionPercent)
        .Stored(&Self::IsPosStored),
    Prop("PositionUnits", &Self::PositionUnits, &Self::SetPositionUnits).Default(muPercent),
    Prop("RoundFirstLabel", &Self::RoundFirstLabel, &Self::SetRoundFirstLabel).Default(true),
    Prop("TickInnerLength", &Self::TickInnerLength, &Self::SetTickInnerLength).Default(0),
    Prop("TickLength", &Self::TickLength, &Self::SetTickLength).Default(4),
    Prop("Ticks", &Self::Ticks, &Self::SetTicks),
    Prop("TicksInner", &Self::TicksInner, &Self::SetTicksInner),
    Prop("TickOnLabelsOnly", &Self::TickOnLabelsOnly, &Self::SetTickOnLabelsOnly).Default(true),
    Prop("Title", &Self::Title, &Self::SetTitle),
    Prop("TitleSize", &Self::TitleSize, &Self::SetTitleSize).Default(0),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true),
    Prop("ZPosition", &Self::ZPosition, &Self::SetZPosition).Stored(&Self::IsZPosStored));

QM_PUBLISHED(TChartDepthAxis, Prop("Visible", &Self::Visible, &Self::SetVisible).Default(false));
