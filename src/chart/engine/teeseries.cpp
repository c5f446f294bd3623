// Chart elements, the chart series base, and the TChartSeries object itself:
// construction, destruction, published properties, chart membership and axes.
#include "chart/engine/teeseries.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teetools.h"
#include "platform/classes/filer.h"
#include <algorithm>

char TeeColumnSeparator = 6;
char TeeLineSeparator = 13;
bool TeeRandomAtRunTime = false;

QM_CLASS_ABSTRACT(TCustomChartElement, TComponent)
QM_CLASS_ABSTRACT(TCustomChartSeries, TCustomChartElement)
QM_CLASS_OWNED(TChartSeries, TCustomChartSeries, TComponent)

QM_PUBLISHED(TCustomChartElement, Prop("Active", &Self::Active, &Self::SetActive).Default(true),
             Prop("ParentChart", &Self::ParentChart, &Self::SetParentChart).Stored(false));

QM_PUBLISHED(TCustomChartSeries,
             Prop("ShowInLegend", &Self::ShowInLegend, &Self::SetShowInLegend).Default(true),
             Prop("Title", &Self::Title, &Self::SetTitle));

QM_PUBLISHED(TChartSeries,
             Prop("ColorEachPoint", &Self::ColorEachPoint, &Self::SetColorEachPoint).Default(false),
             Prop("ColorSource", &Self::ColorSource, &Self::SetColorSource),
             Prop("Cursor", &Self::Cursor, &Self::SetCursor).Default(crDefault).Idents("TCursor"),
             Prop("DataSource", &Self::DataSource, &Self::SetDataSource),
             Prop("Depth", &Self::Depth, &Self::SetDepth).Default(-1),
             Prop("HorizAxis", &Self::HorizAxis, &Self::SetHorizAxis).Default(aBottomAxis),
             Prop("Marks", &Self::Marks),
             Prop("PercentFormat", &Self::PercentFormat, &Self::SetPercentFormat)
                 .Stored(&Self::IsPercentFormatStored),
             Prop("SeriesColor", &Self::SeriesColor, &Self::SetSeriesColor)
                 .Default(clAutoColor)
                 .Idents("TColor"),
             Prop("ValueFormat", &Self::ValueFormat, &Self::SetValueFormat)
                 .Stored(&Self::IsValueFormatStored),
             Prop("VertAxis", &Self::VertAxis, &Self::SetVertAxis).Default(aLeftAxis),
             Prop("XLabelsSource", &Self::XLabelsSource, &Self::SetLabelsSource),
             Prop("XValues", &Self::XValues), Prop("YValues", &Self::YValues),
             Prop("AfterDrawValues", &Self::AfterDrawValues),
             Prop("BeforeDrawValues", &Self::BeforeDrawValues),
             Prop("OnAfterAdd", &Self::OnAfterAdd), Prop("OnBeforeAdd", &Self::OnBeforeAdd),
             Prop("OnClearValues", &Self::OnClearValues), Prop("OnClick", &Self::OnClick),
             Prop("OnDblClick", &Self::OnDblClick), Prop("OnGetMarkText", &Self::OnGetMarkText),
             Prop("OnMouseEnter", &Self::OnMouseEnter), Prop("OnMouseLeave", &Self::OnMouseLeave));

// ---------------------------------------------------------------------------
// TCustomChartElement

TCustomChartElement::TCustomChartElement(TComponent* AOwner) : TComponent(AOwner) {
    FActive = true;
    FBrush = std::make_unique<TChartBrush>([this](TObject* Sender) { CanvasChanged(Sender); });
    FPen = CreateChartPen();
}

TCustomChartElement::~TCustomChartElement() {
    FPen.reset();
    FBrush.reset();
    FParentChart = nullptr;
}

std::unique_ptr<TChartPen> TCustomChartElement::CreateChartPen() {
    return std::make_unique<TChartPen>([this](TObject* Sender) { CanvasChanged(Sender); });
}

void TCustomChartElement::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomChartElement*>(Source)) {
        FActive = src->FActive;
        SetBrush(src->Brush());
        SetPen(src->Pen());
        SetTag(src->Tag());
        return;
    }
    TComponent::Assign(Source);
}

void TCustomChartElement::SetActive(bool Value) {
    SetBooleanProperty(FActive, Value);
}

void TCustomChartElement::SetBrush(TChartBrush* Value) {
    FBrush->Assign(Value);
}

void TCustomChartElement::SetPen(TChartPen* Value) {
    FPen->Assign(Value);
}

void TCustomChartElement::SetParentChart(TCustomAxisPanel* Value) {
    FParentChart = Value;
}

void TCustomChartElement::CanvasChanged(TObject* Sender) {
    (void)Sender;
    Repaint();
}

AnsiString TCustomChartElement::GetEditorClass() {
    return AnsiString();
}

TCustomForm* TCustomChartElement::ChartForm() const {
    return GetParentForm(FParentChart);
}

void TCustomChartElement::Repaint() {
    if (FParentChart) FParentChart->Invalidate();
}

TComponent* TCustomChartElement::GetParentComponent() {
    return FParentChart;
}

void TCustomChartElement::SetParentComponent(TComponent* Value) {
    if (auto* chart = dynamic_cast<TCustomAxisPanel*>(Value)) SetParentChart(chart);
}

void TCustomChartElement::SetBooleanProperty(bool& Field, bool Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

void TCustomChartElement::SetColorProperty(TColor& Field, TColor Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

void TCustomChartElement::SetDoubleProperty(double& Field, double Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

void TCustomChartElement::SetIntegerProperty(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

void TCustomChartElement::SetStringProperty(AnsiString& Field, const AnsiString& Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

// ---------------------------------------------------------------------------
// TCustomChartSeries

TCustomChartSeries::TCustomChartSeries(TComponent* AOwner) : TCustomChartElement(AOwner) {
    FShowInLegend = true;
}

void TCustomChartSeries::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomChartSeries*>(Source)) {
        FShowInLegend = src->FShowInLegend;
        FTitle = src->FTitle;
        FStyle = src->FStyle;
        FIdentifier = src->FIdentifier;
    }
    TCustomChartElement::Assign(Source);
}

void TCustomChartSeries::DefineProperties(TFiler* Filer) {
    TCustomChartElement::DefineProperties(Filer);
    Filer->DefineProperty(
        "Identifier", [this](TReader* Reader) { FIdentifier = Reader->ReadString(); },
        [this](TWriter* Writer) { Writer->WriteString(FIdentifier); }, !FIdentifier.IsEmpty());
    Filer->DefineProperty(
        "Style",
        [this](TReader* Reader) {
            FStyle =
                TChartSeriesStyle::FromBits(static_cast<uint64_t>(Reader->ReadInteger()) & 0x3F);
        },
        [this](TWriter* Writer) { Writer->WriteInteger(static_cast<int64_t>(FStyle.Bits())); },
        !FStyle.Empty());
}

void TCustomChartSeries::SetActive(bool Value) {
    TCustomChartElement::SetActive(Value);
    if (ParentChart())
        ParentChart()->BroadcastSeriesEvent(dynamic_cast<TChartSeries*>(this), seChangeActive);
    RepaintDesigner();
}

void TCustomChartSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    LeftMargin = 0;
    RightMargin = 0;
}

void TCustomChartSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TopMargin = 0;
    BottomMargin = 0;
}

void TCustomChartSeries::GalleryChanged3D(bool Is3D) {
    if (ParentChart()) ParentChart()->SetView3D(Is3D);
}

void TCustomChartSeries::Removed() {
    ForgetParentChart();
}

void TCustomChartSeries::SetShowInLegend(bool Value) {
    SetBooleanProperty(FShowInLegend, Value);
}

void TCustomChartSeries::SetTitle(const AnsiString& Value) {
    SetStringProperty(FTitle, Value);
    if (ParentChart())
        ParentChart()->BroadcastSeriesEvent(dynamic_cast<TChartSeries*>(this), seChangeTitle);
    RepaintDesigner();
}

void TCustomChartSeries::RepaintDesigner() {
    if (ParentChart() && ParentChart()->Designer()) ParentChart()->Designer()->Repaint();
}

bool TCustomChartSeries::SameClass(TCustomChartSeries* Series) const {
    if (!Series) return false;
    return InheritsFrom(Series->ClassType()) || Series->InheritsFrom(ClassType());
}

// ---------------------------------------------------------------------------
// TChartSeries: life, membership and axes

TChartSeries::TChartSeries(TComponent* AOwner) : TCustomChartSeries(AOwner) {
    FValuesList = std::make_unique<TChartValueLists>();
    FX = new TChartValueList(this, TeeMsg_ValuesX); // owned by FValuesList
    FX->SetOrder(loAscending);
    FY = new TChartValueList(this, TeeMsg_ValuesY);
    FMandatory = FY;
    FNotMandatory = FX;
    FYMandatory = true;
    FLabels = std::make_unique<TLabelsList>(this);
    FMarks = std::make_unique<TSeriesMarks>(this);
    FValueFormat = TeeMsg_DefValueFormat;
    FPercentFormat = TeeMsg_DefPercentFormat;
}

TChartSeries::~TChartSeries() {
    Destroying();
    if (ParentChart()) SetParentChart(nullptr);
    if (FTeeFunction) {
        std::unique_ptr<TTeeFunction> function(FTeeFunction);
        FTeeFunction = nullptr;
        function->RemoveFreeNotification(this);
        function->ForgetParentSeries();
    }
    RemoveAllLinkedSeries();
    if (TComponent* source = DataSource(); source && source->Owner() == this) {
        FDataSources.erase(FDataSources.begin());
        source->RemoveFreeNotification(this);
        std::unique_ptr<TComponent> owned(source);
    }
    // Other sources hear of this series' end through their free notification.
    FDataSources.clear();
    const std::vector<TChartSeries*> linked = FLinkedSeries;
    for (TChartSeries* s : linked)
        s->RemoveDataSource(this);
    ClearLists();
    FLinkedSeries.clear();
    FValuesList->Clear();
    FX = FY = FMandatory = FNotMandatory = nullptr;
    FLabels.reset();
    FMarks.reset();
}

void TChartSeries::AddValueList(TChartValueList* List) {
    FValuesList->Add(List);
}

void TChartSeries::RemoveValueList(TChartValueList* List) {
    if (FValuesList) FValuesList->Remove(List);
    if (List == FX) FX = nullptr;
    if (List == FY) FY = nullptr;
    if (List == FMandatory) FMandatory = nullptr;
    if (List == FNotMandatory) FNotMandatory = nullptr;
}

void TChartSeries::SetParentChart(TCustomAxisPanel* Value) {
    if (ParentChart() == Value) return;
    if (ParentChart()) ParentChart()->RemoveSeries(this);
    TCustomChartSeries::SetParentChart(Value);
    if (FMarks) FMarks->SetParentChart(Value);
    if (Value) Value->InternalAddSeries(this);
}

void TChartSeries::Added() {
    TCustomChartSeries::Added();
    if (FColor == clAutoColor && ParentChart())
        SetSeriesColor(ParentChart()->GetFreeSeriesColor(true));
    RecalcGetAxis();
    CheckDataSource();
}

void TChartSeries::Removed() {
    if (TCustomAxisPanel* chart = ParentChart();
        chart && chart->PartCursorShown() && chart->Cursor() == FCursor)
        chart->RestoreCursor();
    RemoveAllLinkedSeries();
    TCustomChartSeries::Removed();
    // The old chart's axes must not outlive it here; custom ones are remembered
    // by their place in the collection.
    if (FCustomHorizAxis) FCustomHorizIndex = FCustomHorizAxis->Index();
    if (FCustomVertAxis) FCustomVertIndex = FCustomVertAxis->Index();
    FCustomHorizAxis = nullptr;
    FCustomVertAxis = nullptr;
    RecalcGetAxis();
}

void TChartSeries::SetSeriesColor(TColor Value) {
    SetColorProperty(FColor, Value);
    if (ParentChart()) ParentChart()->BroadcastSeriesEvent(this, seChangeColor);
    RepaintDesigner();
}

void TChartSeries::RecalcGetAxis() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) {
        FGetHorizAxis = nullptr;
        FGetVertAxis = nullptr;
        return;
    }
    // A custom axis of another chart means this chart's axis of the same index.
    auto resolve = [chart](TWatched<TChartAxis>& Axis, int& Index) {
        if (Axis && Axis->ParentChart() == chart) return;
        if (Axis) Index = Axis->Index();
        TChartCustomAxes* axes = chart->CustomAxes();
        Axis = axes && Index >= 0 && Index < axes->Count()
                   ? static_cast<TChartAxis*>(axes->Items(Index))
                   : nullptr;
    };
    if (FHorizAxis == aCustomHorizAxis) resolve(FCustomHorizAxis, FCustomHorizIndex);
    if (FVertAxis == aCustomVertAxis) resolve(FCustomVertAxis, FCustomVertIndex);
    FGetHorizAxis = chart->BottomAxis();
    if (FHorizAxis == aTopAxis)
        FGetHorizAxis = chart->TopAxis();
    else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis)
        FGetHorizAxis = FCustomHorizAxis;
    FGetVertAxis = chart->LeftAxis();
    if (FVertAxis == aRightAxis)
        FGetVertAxis = chart->RightAxis();
    else if (FVertAxis == aCustomVertAxis && FCustomVertAxis)
        FGetVertAxis = FCustomVertAxis;
}

void TChartSeries::SetHorizAxis(THorizAxis Value) {
    if (FHorizAxis == Value) return;
    FHorizAxis = Value;
    if (Value != aCustomHorizAxis && !IsLoading()) {
        FCustomHorizAxis = nullptr;
        FCustomHorizIndex = -1;
    }
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis Value) {
    if (FVertAxis == Value) return;
    FVertAxis = Value;
    if (Value != aCustomVertAxis && !IsLoading()) {
        FCustomVertAxis = nullptr;
        FCustomVertIndex = -1;
    }
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* Value) {
    FCustomHorizAxis = Value;
    FCustomHorizIndex = -1;
    FHorizAxis = Value ? aCustomHorizAxis : aBottomAxis;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::AxisFreed(TChartAxis* Axis) {
    if (FCustomHorizAxis.Is(Axis)) {
        SetCustomHorizAxis(nullptr);
        SetHorizAxis(aBottomAxis);
    }
    if (FCustomVertAxis.Is(Axis)) {
        SetCustomVertAxis(nullptr);
        SetVertAxis(aLeftAxis);
    }
}

void TChartSeries::SetCustomVertAxis(TChartAxis* Value) {
    FCustomVertAxis = Value;
    FCustomVertIndex = -1;
    FVertAxis = Value ? aCustomVertAxis : aLeftAxis;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomChartSeries::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FTeeFunction) FTeeFunction = nullptr;
    if (AComponent && AComponent == DataSource()) {
        if (IsDestroying()) {
            FDataSources.erase(FDataSources.begin());
        } else {
            SetDataSource(nullptr);
        }
    } else {
        auto it = std::find(FDataSources.begin(), FDataSources.end(), AComponent);
        if (it != FDataSources.end()) FDataSources.erase(it);
    }
}

void TChartSeries::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TCustomChartSeries::GetChildren(Proc, Root);
    if (FTeeFunction) Proc(FTeeFunction);
}

void TChartSeries::Loaded() {
    TCustomChartSeries::Loaded();
    if (FDataSourceNames && !FDataSourceNames->empty()) {
        ClearDataSources();
        if (TComponent* owner = Owner())
            for (const AnsiString& name : *FDataSourceNames)
                if (TComponent* source = owner->FindComponent(name)) InternalAddDataSource(source);
    }
    FDataSourceNames.reset();
    CheckDataSource();
}

void TChartSeries::SetMarks(TSeriesMarks* Value) {
    FMarks->Assign(Value);
}

void TChartSeries::SetValueFormat(const AnsiString& Value) {
    SetStringProperty(FValueFormat, Value);
}

void TChartSeries::SetPercentFormat(const AnsiString& Value) {
    SetStringProperty(FPercentFormat, Value);
}

bool TChartSeries::IsValueFormatStored() const {
    return FValueFormat != TeeMsg_DefValueFormat;
}

bool TChartSeries::IsPercentFormatStored() const {
    return FPercentFormat != TeeMsg_DefPercentFormat;
}

void TChartSeries::SetDepth(int Value) {
    SetIntegerProperty(FDepth, Value);
}

void TChartSeries::SetZOrder(int Value) {
    SetIntegerProperty(FZOrder, Value);
    FAutoZOrder = FZOrder == -1 ? 0 : FZOrder;
}

void TChartSeries::SetDepthSlot(int AStartZ, int AMiddleZ, int AEndZ) {
    FStartZ = AStartZ;
    FMiddleZ = AMiddleZ;
    FEndZ = AEndZ;
}

void TChartSeries::SetColorEachPoint(bool Value) {
    SetBooleanProperty(FColorEachPoint, Value);
}
