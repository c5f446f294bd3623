#include "chart/engine/teetools.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "platform/classes/filer.h"
#include <memory>

QM_CLASS_OWNED(TTeeCustomTool, TCustomChartElement, TComponent)
QM_CLASS_OWNED(TTeeCustomToolSeries, TTeeCustomTool, TComponent)
QM_CLASS_OWNED(TTeeCustomToolAxis, TTeeCustomTool, TComponent)
QM_CLASS_ABSTRACT(TChartTools, TList)
QM_CLASS_PLAIN(TTeeCustomDesigner, TObject)

QM_PUBLISHED(TTeeCustomToolSeries, Prop("Series", &Self::Series, &Self::SetSeries));
// Stored by its index instead ("AxisID"): an axis is no component a file can name.
QM_PUBLISHED(TTeeCustomToolAxis, Prop("Axis", &Self::Axis, &Self::SetAxis).Stored(false));

// ---------------------------------------------------------------------------
// TTeeCustomTool

TTeeCustomTool::TTeeCustomTool(TComponent* AOwner) : TCustomChartElement(AOwner) {}

TTeeCustomTool::~TTeeCustomTool() {
    // Leave the chart's list while this is still a whole tool.
    if (ParentChart()) SetParentChart(nullptr);
}

void TTeeCustomTool::SetParentChart(TCustomAxisPanel* Value) {
    if (TCustomAxisPanel* old = ParentChart()) {
        if (old->Tools()) old->Tools()->Remove(this);
        if (!Value) old->Invalidate();
    }
    TCustomChartElement::SetParentChart(Value);
    if (Value && Value->Tools()) Value->Tools()->TList::Add(this);
}

// ---------------------------------------------------------------------------
// TTeeCustomToolSeries

TTeeCustomToolSeries::TTeeCustomToolSeries(TComponent* AOwner) : TTeeCustomTool(AOwner) {}

AnsiString TTeeCustomToolSeries::GetEditorClass() {
    return "TSeriesToolEditor";
}

void TTeeCustomToolSeries::SetSeries(TChartSeries* Value) {
    if (FSeries == Value && !FSeries.Gone()) return;
    if (FSeries) FSeries->RemoveFreeNotification(this);
    FSeries = Value;
    if (FSeries) FSeries->FreeNotification(this);
}

void TTeeCustomToolSeries::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeCustomTool::Notification(AComponent, Operation);
    if (Operation == opRemove && FSeries.Is(AComponent)) SetSeries(nullptr);
}

TChartAxis* TTeeCustomToolSeries::GetHorizAxis() const {
    if (FSeries) return FSeries->GetHorizAxis();
    return ParentChart() ? ParentChart()->BottomAxis() : nullptr;
}

TChartAxis* TTeeCustomToolSeries::GetVertAxis() const {
    if (FSeries) return FSeries->GetVertAxis();
    return ParentChart() ? ParentChart()->LeftAxis() : nullptr;
}

// ---------------------------------------------------------------------------
// TTeeCustomToolAxis

TTeeCustomToolAxis::TTeeCustomToolAxis(TComponent* AOwner) : TTeeCustomTool(AOwner) {}

AnsiString TTeeCustomToolAxis::GetEditorClass() {
    return "TAxisToolEditor";
}

void TTeeCustomToolAxis::SetAxis(TChartAxis* Value) {
    if (FAxis == Value) return;
    FAxis = Value;
    SetParentChart(Value ? Value->ParentChart() : nullptr);
    Repaint();
}

void TTeeCustomToolAxis::SetParentChart(TCustomAxisPanel* Value) {
    if (FAxis && FAxis->ParentChart() != Value) SetAxis(nullptr);
    TTeeCustomTool::SetParentChart(Value);
}

void TTeeCustomToolAxis::AxisFreed(TChartAxis* Axis) {
    if (!FAxis.Is(Axis)) return;
    FAxis = nullptr;
    Repaint();
}

void TTeeCustomToolAxis::DefineProperties(TFiler* Filer) {
    TTeeCustomTool::DefineProperties(Filer);
    Filer->DefineProperty(
        "AxisID", [this](TReader* Reader) { ReadAxisID(Reader); },
        [this](TWriter* Writer) { WriteAxisID(Writer); }, FAxis != nullptr);
}

void TTeeCustomToolAxis::ReadAxisID(TReader* Reader) {
    const int index = Reader->ReadInteger();
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) throw EReadError("Axis tool without a chart");
    SetAxis(chart->Axes()->Get(index));
}

void TTeeCustomToolAxis::WriteAxisID(TWriter* Writer) {
    TCustomAxisPanel* chart = FAxis->ParentChart();
    const int index = chart ? chart->Axes()->IndexOf(FAxis) : -1;
    Writer->WriteInteger(index);
}

// ---------------------------------------------------------------------------
// TChartTools

TChartTools::~TChartTools() {
    Clear();
}

TTeeCustomTool* TChartTools::Add(TTeeCustomTool* Tool) {
    Tool->SetParentChart(FOwner);
    return Tool;
}

void TChartTools::Clear() {
    while (Count() > 0) {
        auto* tool = static_cast<TTeeCustomTool*>(Items(0));
        // A freed tool leaves this list; make sure it cannot stay in it.
        TList::Delete(0);
        tool->TCustomChartElement::SetParentChart(nullptr);
        std::unique_ptr<TTeeCustomTool> owned(tool);
    }
    TList::Clear();
}
