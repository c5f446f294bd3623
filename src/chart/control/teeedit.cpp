// The editor and previewer components, the editor panel, the chart picture and
// the save dialog.
#include "chart/control/teeedit.h"
#include "platform/classes/watched.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeproco.h"
#include "chart/control/teestore.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/watched.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/format.h"

QM_ENUM_NAMES(TWindowState, wsNormal, wsMinimized, wsMaximized)

QM_CLASS_ABSTRACT(TCustomChartEditor, TComponent)

QM_PUBLISHED(TCustomChartEditor, Prop("OnClose", &Self::OnClose), Prop("OnShow", &Self::OnShow));
QM_CLASS_OWNED(TChartEditor, TCustomChartEditor, TComponent)
QM_CLASS_OWNED(TChartPreviewer, TCustomChartEditor, TComponent)
QM_CLASS_OWNED(TChartEditorPanel, TCustomPanelNoCaption, TComponent)
QM_CLASS_PLAIN(TChartImage, TGraphic)

namespace {
const TChartEditorOptions AllEditorOptions{ceAdd,        ceDelete, ceChange, ceClone,
                                           ceDataSource, ceTitle,  ceHelp};
const TChartPreviewOptions DefaultPreviewOptions{
    cpoChangePrinter, cpoSetupPrinter,           cpoResizeChart,   cpoMoveChart,
    cpoChangeDetail,  cpoChangePaperOrientation, cpoChangeMargins, cpoProportional};

// Found by name, as the commander is, when a form stream names them.
const bool EditorsRegistered = [] {
    for (TClass c :
         {&TChartEditor::ClassInfo, &TChartPreviewer::ClassInfo, &TChartEditorPanel::ClassInfo})
        RegisterClass(c);
    return true;
}();
} // namespace

QM_PUBLISHED(
    TChartEditor, Prop("Chart", &Self::Chart, &TCustomChartEditor::SetChart),
    Prop("AutoRepaint", &Self::AutoRepaint, &Self::SetAutoRepaint).Default(true),
    Prop("DefaultTab", &Self::DefaultTab, &Self::SetDefaultTab).Default(cetMain),
    Prop("HideTabs", &Self::HideTabs, &Self::SetHideTabs),
    Prop("HighLightTabs", &Self::HighLightTabs, &Self::SetHighLightTabs).Default(false),
    Prop("Options", &Self::Options, &Self::SetOptions).Default(AllEditorOptions),
    Prop("RememberPosition", &Self::RememberPosition, &Self::SetRememberPosition).Default(false),
    Prop("Series", &Self::Series, &Self::SetSeries), Prop("Title", &Self::Title, &Self::SetTitle),
    Prop("OnChangeSeriesOrder", &Self::OnChangeSeriesOrder));

QM_PUBLISHED(
    TChartPreviewer, Prop("Chart", &Self::Chart, &TCustomChartEditor::SetChart),
    Prop("Options", &Self::Options, &Self::SetOptions).Default(DefaultPreviewOptions),
    Prop("PaperColor", &Self::PaperColor, &Self::SetPaperColor).Default(clWhite).Idents("TColor"),
    Prop("Title", &Self::Title, &Self::SetTitle),
    Prop("WindowState", &Self::WindowState, &Self::SetWindowState).Default(wsNormal),
    Prop("OnAfterDraw", &Self::OnAfterDraw));

QM_PUBLISHED(TChartEditorPanel, Prop("Chart", &Self::Chart, &Self::SetChart),
             Prop("Locked", &Self::Locked, &Self::SetLocked).Default(false),
             Prop("Align", &Self::Align, &Self::SetAlign).Default(alNone),
             Prop("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone),
             Prop("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvLowered),
             Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1),
             Prop("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clBtnFace).Idents("TColor"),
             Prop("OnClick", &Self::OnClick), Prop("OnDblClick", &Self::OnDblClick),
             Prop("OnEnter", &Self::OnEnter), Prop("OnExit", &Self::OnExit),
             Prop("OnKeyDown", &Self::OnKeyDown), Prop("OnKeyPress", &Self::OnKeyPress),
             Prop("OnKeyUp", &Self::OnKeyUp), Prop("OnMouseDown", &Self::OnMouseDown),
             Prop("OnMouseMove", &Self::OnMouseMove), Prop("OnMouseUp", &Self::OnMouseUp),
             Prop("OnMouseWheel", &Self::OnMouseWheel),
             Prop("OnMouseWheelDown", &Self::OnMouseWheelDown),
             Prop("OnMouseWheelUp", &Self::OnMouseWheelUp), Prop("OnResize", &Self::OnResize));

// ---------------------------------------------------------------------------
// Editor components.

TCustomChartEditor::~TCustomChartEditor() {
    if (FChart) FChart->RemoveFreeNotification(this);
}

void TCustomChartEditor::SetChart(TCustomChart* Value) {
    if (FChart == Value) return;
    if (FChart) FChart->RemoveFreeNotification(this);
    FChart = Value;
    if (FChart) FChart->FreeNotification(this);
}

void TCustomChartEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // A chart on its way out already reads as none: only the handle is cleared.
    if (Operation == opRemove && FChart.Gone()) FChart = nullptr;
}

TChartEditor::TChartEditor(TComponent* AOwner) : TCustomChartEditor(AOwner) {
    FOptions = AllEditorOptions;
}

TChartEditor::~TChartEditor() {
    if (FSeries) FSeries->RemoveFreeNotification(this);
}

void TChartEditor::SetSeries(TChartSeries* Value) {
    if (FSeries == Value) return;
    if (FSeries) FSeries->RemoveFreeNotification(this);
    FSeries = Value;
    if (!FSeries) return;
    FSeries->FreeNotification(this);
    auto* owner = dynamic_cast<TCustomChart*>(FSeries->ParentChart());
    if (Chart() && owner && owner != Chart()) SetChart(owner);
}

void TChartEditor::SetChart(TCustomChart* Value) {
    TCustomChartEditor::SetChart(Value);
    if (FSeries && FSeries->ParentChart() != Value) SetSeries(nullptr);
}

void TChartEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomChartEditor::Notification(AComponent, Operation);
    if (Operation == opRemove && FSeries.Gone()) FSeries = nullptr;
}

void TChartEditor::Execute() {
    TCustomChart* chart = Chart();
    if (!chart) return;
    if (TeeEditorHooks().CreateEditForm) {
        TChartEditorSettings s;
        s.RememberPosition = FRememberPosition;
        s.Title = Title();
        s.Chart = chart;
        s.Options = FOptions;
        s.HighLightTabs = FHighLightTabs;
        s.Series = FSeries;
        s.DefaultTab = FDefaultTab;
        s.HideTabs = FHideTabs;
        s.OnChangeSeriesOrder = [this](TObject* Sender, TChartSeries* A, TChartSeries* B) {
            if (OnChangeSeriesOrder) OnChangeSeriesOrder(Sender, A, B);
        };
        // Building the editor sets its pages, which tell their controls.
        TCallOut held{this, chart};
        std::unique_ptr<TCustomForm> form = TeeEditorHooks().CreateEditForm(s);
        if (held.Gone()) return;
        if (form) {
            // The editor itself may go with the chart's form.
            TCallOut self{this}, chartGone{chart};
            if (OnShow) OnShow(form.get());
            if (self.Gone() || chartGone.Gone()) return;
            const bool repaint = chart->AutoRepaint();
            {
                const bool keepRepaint = FAutoRepaint;
                TTeeFinally restore([&] {
                    if (!keepRepaint && !chartGone.Gone()) {
                        chart->SetAutoRepaint(repaint);
                        chart->Invalidate();
                    }
                });
                if (!FAutoRepaint) chart->SetAutoRepaint(false);
                TeeTranslateControl(form.get());
                ShowModalWatching(form.get(), {chart, FSeries, this});
            }
            if (self.Gone()) return;
            if (OnClose) OnClose(form.get());
            if (chartGone.Gone()) return;
        }
    }
    chart->SetCancelMouse(true);
}

TChartPreviewer::TChartPreviewer(TComponent* AOwner) : TCustomChartEditor(AOwner) {
    FOptions = DefaultPreviewOptions;
}

void TChartPreviewer::Execute() {
    TCustomChart* chart = Chart();
    if (!chart) return;
    if (TeeEditorHooks().CreatePreviewForm) {
        std::unique_ptr<TCustomForm> form = TeeEditorHooks().CreatePreviewForm(this);
        if (form) {
            // The previewer itself may go with the chart's form.
            TCallOut self{this}, chartGone{chart};
            FForm = form.get();
            TTeeFinally forget([&] {
                if (!self.Gone()) FForm = nullptr;
            });
            if (!Title().IsEmpty()) form->SetCaption(Title());
            form->SetWindowState(FWindowState);
            auto disable = [&](const char* Name, TChartPreviewOption Needed) {
                if (FOptions.Contains(Needed)) return;
                if (auto* c = dynamic_cast<TControl*>(form->FindComponent(Name)))
                    c->SetEnabled(false);
            };
            disable("CBPrinters", cpoChangePrinter);
            disable("BSetupPrinter", cpoSetupPrinter);
            disable("ChangeDetailGroup", cpoChangeDetail);
            disable("Orientation", cpoChangePaperOrientation);
            disable("GBMargins", cpoChangeMargins);
            disable("BReset", cpoChangeMargins);
            // Shown without proportional margins, not stored so: the flag comes
            // back unless the user moved a margin while it was off.
            const bool proportional = chart->PrintProportional();
            const TRect margins = chart->PrintMargins();
            if (proportional) chart->SetPrintProportional(FOptions.Contains(cpoProportional));
            const bool oldPrintPanel = PrintTeePanel;
            {
                TTeeFinally restore([&] {
                    PrintTeePanel = oldPrintPanel;
                    if (!chartGone.Gone() && proportional && !chart->PrintProportional() &&
                        chart->PrintMargins() == margins)
                        chart->SetPrintProportional(true);
                });
                PrintTeePanel = FOptions.Contains(cpoPrintPanel);
                if (OnShow) OnShow(form.get());
                if (self.Gone() || chartGone.Gone()) return;
                ShowModalWatching(form.get(), {chart, this});
            }
            if (self.Gone()) return;
            if (OnClose) OnClose(form.get());
            if (chartGone.Gone()) return;
        }
    }
    chart->Invalidate();
    chart->SetCancelMouse(true);
}

// ---------------------------------------------------------------------------
// The editor panel.

TChartEditorPanel::TChartEditorPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
    SetBevelOuter(bvLowered);
    SetWidth(409);
    SetHeight(291);
    if (ComponentState().Contains(csDesigning) || !TeeEditorHooks().CreatePanelEditForm) return;
    TCallOut held{this};
    TCustomForm* editor = TeeEditorHooks().CreatePanelEditForm(this);
    if (held.Gone() || !editor) return;
    FEditor = editor;
    TeeTranslateControl(FEditor);
    FEditor->SetBorderStyle(bsNone);
    if (auto* bottom = dynamic_cast<TControl*>(FEditor->FindComponent("PanBottom")))
        bottom->SetVisible(false);
    FEditor->SetAlign(alClient);
    FEditor->SetParent(this);
    FEditor->Show();
}

TChartEditorPanel::~TChartEditorPanel() {
    if (FChart) FChart->RemoveFreeNotification(this);
}

void TChartEditorPanel::SetChart(TCustomChart* Value) {
    if (FChart == Value) return;
    if (FChart) FChart->RemoveFreeNotification(this);
    FChart = Value;
    if (FChart) FChart->FreeNotification(this);
    if (FEditor && TeeEditorHooks().SetPanelEditChart)
        TeeEditorHooks().SetPanelEditChart(FEditor, FChart);
}

void TChartEditorPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanelNoCaption::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FEditor) FEditor = nullptr;
    if (FChart.Gone()) {
        // The chart reads as none already; the embedded editor lets go of it too.
        FChart = nullptr;
        if (FEditor && TeeEditorHooks().SetPanelEditChart)
            TeeEditorHooks().SetPanelEditChart(FEditor, nullptr);
    }
}

void TChartEditorPanel::SelectUnderMouse() {
    if (!FChart) return;
    TChartClickedPart part;
    // Asking what is there may call a series' click handler, which may free
    // the chart, this panel or its form.
    TCallOut held{this, FChart, GetParentForm(this)};
    FChart->CalcClickedPart(FChart->GetCursorPos(), part);
    if (held.Gone()) return;
    if (FEditor && TeeEditorHooks().ShowPanelPart) TeeEditorHooks().ShowPanelPart(FEditor, part);
}

// ---------------------------------------------------------------------------
// The chart picture.

namespace {
const bool ChartImageRegistered = [] {
    static const char* const Extension = "tee";
    TPicture::RegisterFileFormat(Extension, "Chart",
                                 [] { return std::make_unique<TChartImage>(); });
    return true;
}();
} // namespace

TChartImage::TChartImage() {
    (void)ChartImageRegistered;
}

TChartImage::~TChartImage() {
    Clear();
}

TCustomChart* TChartImage::Chart() const {
    if (TCustomChart* shown = FShownChart) return shown;
    if (!FOwnedChart) FOwnedChart = std::make_unique<TChart>(nullptr);
    return FOwnedChart.get();
}

void TChartImage::SetChart(TCustomChart* AChart) {
    if (AChart && AChart == FOwnedChart.get()) return;
    Clear();
    FShownChart = AChart;
    Changed();
}

void TChartImage::Clear() {
    FOwnedChart.reset();
    FShownChart = nullptr;
}

void TChartImage::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TChartImage*>(Source)) {
        if (TCustomChart* source = other->Empty() ? nullptr : other->Chart()) {
            Chart()->Assign(source);
            Changed();
        }
        return;
    }
    TGraphic::Assign(Source);
}

int TChartImage::Width() const {
    return Chart()->Width();
}
int TChartImage::Height() const {
    return Chart()->Height();
}
void TChartImage::SetWidth(int Value) {
    Chart()->SetWidth(Value);
}
void TChartImage::SetHeight(int Value) {
    Chart()->SetHeight(Value);
}

void TChartImage::LoadFromBytes(const std::vector<uint8_t>& Data) {
    TMemoryStream stream;
    if (!Data.empty()) stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    stream.SetPosition(0);
    TCustomChart* chart = Chart();
    // A message about what the file holds may free this picture or its chart.
    TCallOut held{this, chart};
    LoadChartFromStream(chart, &stream);
    if (held.Gone()) return;
    Changed();
}

std::vector<uint8_t> TChartImage::SaveToBytes() const {
    TMemoryStream stream;
    SaveChartToStream(Chart(), &stream, true, false);
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    return std::vector<uint8_t>(p, p + stream.Size());
}

void TChartImage::Draw(TCanvas* ACanvas, const TRect& R) {
    Chart()->Draw(ACanvas, R);
}

// ---------------------------------------------------------------------------
// Dialogs.

AnsiString SaveChartDialog(TCustomChart* AChart) {
    TSaveDialog dialog(nullptr);
    dialog.SetFilter(TeeMsg_TeeFiles + " (*." + "tee" + ")" + "|*." + "tee");
    dialog.SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
    TStringList formats;
    TeeFillPictureDialog(&dialog, AChart, &formats);
    dialog.SetDefaultExt("tee");
    TCallOut held{AChart};
    const bool chosen = dialog.Execute();
    if (held.Gone()) return AnsiString();
    if (!chosen) return AnsiString();
    const AnsiString name = dialog.FileName();
    if (dialog.FilterIndex() == 1) {
        SaveChartToFile(AChart, name, true, false);
    } else {
        for (int i = 0; i < formats.Count(); ++i) {
            auto* format = dynamic_cast<ITeeExportFormat*>(formats.Objects(i));
            if (format && format->WantsFilterIndex(dialog.FilterIndex())) {
                format->SaveToFile(name);
                break;
            }
        }
    }
    return name;
}

void EditOneSeries(TControl* AOwner, TChartSeries* ASeries) {
    if (!ASeries || !TeeEditorHooks().CreateSeriesEditForm) return;
    std::unique_ptr<TCustomForm> form(TeeEditorHooks().CreateSeriesEditForm(AOwner, ASeries));
    if (!form) return;
    form->SetBorderIcons(TBorderIcons{biSystemMenu});
    form->SetScaled(false);
    form->SetCaption(Format(TeeMsg_Editing, {ASeries->Name()}));
    form->SetSubject(ASeries);
    form->SetHeight(form->Height() + GetSystemMetrics(SM_CYDLGFRAME) +
                    GetSystemMetrics(SM_CYCAPTION));
    ShowModalWatching(form.get(), {ASeries, ASeries->ParentChart()});
}
