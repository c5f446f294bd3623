// Chart editor window.
//   construction       the tabs, the series list and its buttons
//   chart and position  SetChart, the remembered position, help, close query
//   show               hidden tabs, the opening page, the first selection
//   pages              main and chart sub-tabs built on first show, the series page
//   series commands    the list's buttons and their enabling
#include "chart/editor/teeeditcha.h"
#include "platform/classes/watched.h"
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeedi3d.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeprevi.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/control/tooledit.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include "platform/classes/registry.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

QM_CLASS_OWNED(TChartEditForm, TForm, TComponent)

std::function<void(TChartEditForm* Form)> TeeOnShowEditor;
const char* const EditorSettingsKey = "\\SOFTWARE\\QM read out\\Chart Editor";

namespace {
// Page forms of the chart sub-tabs 1 to 8, by class name.
const char* const SubPageForms[] = {"",
                                    "TFormTeeGeneral",
                                    "TFormTeeAxis",
                                    "TFormTeeTitle",
                                    "TFormTeeLegend",
                                    "TFormTeePanel",
                                    "TFormTeePage",
                                    "TFormTeeWall",
                                    "TFormTee3D"};

void Embed(TCustomForm* Form, TWinControl* Tab, TPersistent* Object) {
    Form->SetAlign(alClient);
    AddFormTo(Form, Tab, Object);
    // Docking placed it by its designed position; the page fills the tab.
    Tab->Realign();
}

// A size text of the translations; the resource's size when it is no sensible number.
int EditorSize(const AnsiString& Text, int Default) {
    int v;
    return TryStrToInt(Text.Trim(), v) && v >= 200 && v <= 4000 ? v : Default;
}
} // namespace

// ---------------------------------------------------------------------------
// Construction

TChartEditForm::TChartEditForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("ChartEditForm");
    SetPosition(poScreenCenter);
    SetBorderIcons({biSystemMenu});
    SetHelpContext(726);
    SetShowHint(true);
    // The controls below are placed for this client size; anchored ones
    // follow later size changes from there.
    SetClientWidth(414);
    SetClientHeight(320);
    PanBottom = NewControl<TPanel>(this, this, "PanBottom", 0, 0, 414, 33);
    PanBottom->SetAlign(alBottom);
    PanBottom->SetBevelOuter(bvNone);
    ButtonHelp = NewControl<TButton>(this, PanBottom, "ButtonHelp", 6, 4, 75, 25, "&Help...");
    BClose = NewControl<TButton>(this, PanBottom, "BClose", 333, 4, 75, 25, "Close");
    BClose->SetAnchors({akRight, akTop});
    BClose->SetDefault(true);
    BClose->SetCancel(true);
    BClose->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
    ButtonHelp->OnClick = [this](TObject* s) { ButtonHelpClick(s); };

    MainPage = NewControl<TPageControl>(this, this, "MainPage", 0, 0, 414, 287);
    MainPage->SetAlign(alClient);
    MainPage->SetHotTrack(true);
    auto tab = [this](TPageControl* Page, const char* Name, const char* Caption) {
        auto* t = new TTabSheet(this);
        t->SetName(Name);
        t->SetCaption(Caption);
        t->SetPageControl(Page);
        return t;
    };
    TabChart = tab(MainPage, "TabChart", "Chart");
    TabSeries = tab(MainPage, "TabSeries", "Series");
    TabData = tab(MainPage, "TabData", "Data");
    TabTools = tab(MainPage, "TabTools", "Tools");
    TabExport = tab(MainPage, "TabExport", "Export");
    TabPrint = tab(MainPage, "TabPrint", "Print");
    SubPage = NewControl<TPageControl>(this, TabChart, "SubPage", 0, 0, 406, 259);
    SubPage->SetAlign(alClient);
    TabSeriesList = tab(SubPage, "TabSeriesList", "Series");
    TabGeneral = tab(SubPage, "TabGeneral", "General");
    TabAxis = tab(SubPage, "TabAxis", "Axis");
    TabTitle = tab(SubPage, "TabTitle", "Titles");
    TabLegend = tab(SubPage, "TabLegend", "Legend");
    TabPanel = tab(SubPage, "TabPanel", "Panel");
    TabPaging = tab(SubPage, "TabPaging", "Paging");
    TabWalls = tab(SubPage, "TabWalls", "Walls");
    Tab3D = tab(SubPage, "Tab3D", "3D");

    LBSeries = NewControl<TChartListBox>(this, TabSeriesList, "LBSeries", 28, 4, 280, 200);
    LBSeries->SetAnchors({akLeft, akTop, akRight, akBottom});
    LBSeries->SetHelpContext(516);
    BMoveUP = NewControl<TSpeedButton>(this, TabSeriesList, "BMoveUP", 2, 60, 23, 22);
    BMoveUP->SetFlat(true);
    TBitmap up, down;
    TeeLoadArrowBitmaps(&up, &down);
    BMoveUP->SetGlyph(&up);
    BMoveDown = NewControl<TSpeedButton>(this, TabSeriesList, "BMoveDown", 2, 88, 23, 22);
    BMoveDown->SetFlat(true);
    BMoveDown->SetGlyph(&down);
    auto button = [this](const char* Name, const char* Caption, int Top, int Help) {
        auto* b = NewControl<TButton>(this, TabSeriesList, Name, 318, Top, 75, 25, Caption);
        b->SetAnchors({akRight, akTop});
        b->SetHelpContext(Help);
        return b;
    };
    BAddSeries = button("BAddSeries", "&Add...", 4, 33);
    BDeleteSeries = button("BDeleteSeries", "&Delete", 34, 405);
    BRenameSeries = button("BRenameSeries", "&Title...", 64, 651);
    BCloneSeries = button("BCloneSeries", "C&lone", 94, 780);
    BChangeTypeSeries = button("BChangeTypeSeries", "&Change...", 124, 32);

    // The list tells every change of its selection, the user's clicks and keys
    // as well as code's, through OnRefresh.
    LBSeries->OnRefresh = [this](TObject* s) { LBSeriesRefreshButtons(s); };
    LBSeries->OnDblClickSeries = [this](TChartListBox*, int) { LBSeriesEditSeries(LBSeries); };
    LBSeries->OnOtherItemsChange = [this](TObject*) {
        if (TheFormSeries) TheFormSeries->CBSeries->SetItemIndex(LBSeries->ItemIndex());
    };
    BMoveUP->OnClick = [this](TObject*) { LBSeries->MoveCurrentUp(); };
    BMoveDown->OnClick = [this](TObject*) { LBSeries->MoveCurrentDown(); };
    BAddSeries->OnClick = [this](TObject* s) { BAddSeriesClick(s); };
    BDeleteSeries->OnClick = [this](TObject* s) { BDeleteSeriesClick(s); };
    BRenameSeries->OnClick = [this](TObject* s) { BRenameSeriesClick(s); };
    BCloneSeries->OnClick = [this](TObject* s) { BCloneSeriesClick(s); };
    BChangeTypeSeries->OnClick = [this](TObject* s) { BChangeTypeSeriesClick(s); };
    MainPage->OnChange = [this](TObject* s) { MainPageChange(s); };
    SubPage->OnChange = [this](TObject* s) { SubPageChange(s); };
    MainPage->OnChanging = [this](TObject*, bool& Allow) {
        TCallOut held{this};
        if (TheFormSeries && MainPage->ActivePage() == TabSeries)
            Allow = TheFormSeries->CloseQuery();
        if (held.Gone()) return;
        if (Allow && HighLightTabs && MainPage->ActivePage())
            MainPage->ActivePage()->SetHighlighted(false);
    };
    SubPage->OnChanging = [this](TObject*, bool&) {
        if (HighLightTabs && SubPage->ActivePage()) SubPage->ActivePage()->SetHighlighted(false);
    };
    OnShow = [this](TObject* s) { FormShow(s); };

    // Sizes of the form resource, scaled to the screen; the caption bar's
    // buttons may be taller than the 18 pixels the layout assumed.
    SetWidth(EditorSize(TeeMsg_DefaultEditorSize, 414) * Screen->PixelsPerInch() / 96);
    SetHeight(EditorSize(TeeMsg_DefaultEditorHeight, 347) * Screen->PixelsPerInch() / 96 +
              GetSystemMetrics(SM_CYSIZE) - 18);
    // Wider where the platform's font needs it, so the chart's pages all show
    // their tabs without scroll arrows.
    const int tabs = SubPage->TabsWidth() + 8;
    if (tabs > SubPage->Width()) SetWidth(Width() + tabs - SubPage->Width());
    TCallOut held{this};
    SetChart(nullptr);
    if (held.Gone()) return;
    SetCaption("");
    EditorOptions = {ceAdd, ceDelete, ceChange, ceClone, ceDataSource, ceTitle, ceHelp};
    MainPage->SetActivePage(TabChart);
    SubPage->SetActivePage(TabSeriesList);
}

TChartEditForm::~TChartEditForm() {
    if (TheChart) TheChart->RemoveFreeNotification(this);
}

void TChartEditForm::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (TheChart.Is(AComponent)) TheChart = nullptr;
    if (AComponent == TheFormSeries) TheFormSeries = nullptr;
    if (AComponent == PreviewForm) PreviewForm = nullptr;
    if (TheTool.Is(AComponent)) TheTool = nullptr;
    if (TheEditSeries.Is(AComponent)) TheEditSeries = nullptr;
    if (AddedSeries.Is(AComponent)) AddedSeries = nullptr;
}

// ---------------------------------------------------------------------------
// Chart and position

void TChartEditForm::SetChart(TCustomChart* AChart) {
    const bool other = !TheChart.Is(AChart) || TheChart.Gone();
    if (TheChart) TheChart->RemoveFreeNotification(this);
    TheChart = AChart;
    if (TheChart) TheChart->FreeNotification(this);
    LBSeries->SetChart(TheChart);
    MainPage->SetEnabled(TheChart != nullptr);
    SubPage->SetEnabled(TheChart != nullptr);
    if (other) {
        // The pages let go of their forms, which may ask the user first.
        TCallOut held{this};
        RebuildPages();
        if (held.Gone()) return;
    }
    if (!TheChart) return;
    if (!RememberPosition) RememberPosition = TheChart->ComponentState().Contains(csDesigning);
    if (!RememberPosition) return;
    TRegistry reg(KEY_READ);
    if (reg.OpenKeyReadOnly(EditorSettingsKey) && reg.ValueExists("Left")) {
        try {
            const int left = std::max(0, reg.ReadInteger("Left"));
            const int top = reg.ValueExists("Top") ? std::max(0, reg.ReadInteger("Top")) : 0;
            SetPosition(poDesigned);
            SetLeft(left);
            SetTop(top);
        } catch (const ERegistryException&) {
            // A damaged value leaves the window where it would open anyway.
        }
    }
}

void TChartEditForm::RebuildPages() {
    // Every page edits the chart now given: none keeps a part of the last one.
    TheAxis = nullptr;
    TheTitle = nullptr;
    TheWall = nullptr;
    if (TheTool && TheTool->ParentChart() != TheChart.Get()) TheTool = nullptr;
    if (TheEditSeries && TheEditSeries->ParentChart() != TheChart.Get()) TheEditSeries = nullptr;
    bool built = false;
    for (int i = 1; i < SubPage->PageCount(); ++i)
        if (TCustomForm* form = PageForm(SubTab(i))) {
            delete form;
            built = true;
        }
    for (TTabSheet* tab : {TabTools, TabData, TabExport, TabPrint})
        if (TCustomForm* form = PageForm(tab)) {
            delete form;
            built = true;
        }
    PreviewForm = nullptr;
    if (TheFormSeries) {
        TheFormSeries->RemoveFreeNotification(this);
        delete TheFormSeries;
        TheFormSeries = nullptr;
        built = true;
    }
    if (!built || !TheChart) return;
    TTabSheet* main = MainPage->ActivePage();
    if (main == TabChart) {
        SubPageChange(SubPage);
    } else if (main == TabSeries) {
        if (LBSeries->GetSelectedSeries())
            SetTabSeries();
        else
            MainPage->SetActivePage(TabChart);
    } else {
        MainPageChange(MainPage);
    }
}

bool TChartEditForm::CloseQuery() {
    if (TheChart && RememberPosition) {
        try {
            TRegistry reg;
            if (reg.OpenKey(EditorSettingsKey, true)) {
                reg.WriteInteger("Left", Left());
                reg.WriteInteger("Top", Top());
            }
        } catch (const ERegistryException&) {
            // Losing the position must not keep the editor from closing.
        }
    }
    if (TheFormSeries) {
        TCallOut held{this};
        const bool close = TheFormSeries->CloseQuery();
        if (held.Gone() || !close) return false;
    }
    return TForm::CloseQuery();
}

AnsiString GetChartHelpFile() {
    return GetRegistryHelpPath("Chart6.hlp");
}

void TChartEditForm::CheckHelpFile() {
    const bool help = EditorOptions.Contains(ceHelp);
    if (help) {
        const bool designing = TheChart && TheChart->ComponentState().Contains(csDesigning);
        SetHelpFile(designing ? GetChartHelpFile() : GetRegistryHelpPath("TeeUser6.hlp"));
        if (!HelpFile().IsEmpty()) {
            TBorderIcons icons = BorderIcons();
            icons.Include(biHelp);
            SetBorderIcons(icons);
        }
    } else {
        SetHelpFile("");
    }
    ButtonHelp->SetVisible(help);
}

void TChartEditForm::ButtonHelpClick(TObject*) {
    Application->HelpFileContext(HelpFile(), HelpContext());
}

// ---------------------------------------------------------------------------
// Show

TTabSheet* TChartEditForm::SubTab(int Index) const {
    return Index >= 0 && Index < SubPage->PageCount() ? SubPage->Pages(Index) : nullptr;
}

void TChartEditForm::FormShow(TObject*) {
    if (TeeToolTypes().Count() == 0) TabTools->SetTabVisible(false);
    LBSeries->SetChart(TheChart);
    if (Caption().IsEmpty() && TheChart) SetCaption(Format(TeeMsg_Editing, {TheChart->Name()}));

    const std::pair<TChartEditorTab, TTabSheet*> hidden[] = {
        {cetMain, TabSeriesList},   {cetGeneral, TabGeneral}, {cetAxis, TabAxis},
        {cetTitles, TabTitle},      {cetLegend, TabLegend},   {cetPanel, TabPanel},
        {cetPaging, TabPaging},     {cetWalls, TabWalls},     {cet3D, Tab3D},
        {cetSeriesData, TabData},   {cetExport, TabExport},   {cetTools, TabTools},
        {cetPrintPreview, TabPrint}};
    for (const auto& [tab, sheet] : hidden)
        if (HideTabs.Contains(tab)) sheet->SetTabVisible(false);
    if (HideTabs.Contains(cetAllSeries)) {
        SubPage->SetParent(this);
        MainPage->Hide();
        SetHeight(Height() - 26);
        SetWidth(Width() - 10);
    }

    if (DefaultTab >= 12 && DefaultTab <= 15) {
        TTabSheet* target[] = {TabData, TabExport, TabTools, TabPrint};
        MainPage->SetActivePage(target[DefaultTab - 12]);
        TCallOut held{this};
        MainPageChange(MainPage);
        if (held.Gone()) return;
    } else if (DefaultTab >= 0 && DefaultTab <= 8) {
        int found = -1;
        for (int i = DefaultTab; i < SubPage->PageCount() && found < 0; ++i)
            if (SubTab(i)->TabVisible()) found = i;
        for (int i = DefaultTab; i >= 0 && found < 0; --i)
            if (SubTab(i)->TabVisible()) found = i;
        if (found >= 0) {
            DefaultTab = found;
            SubPage->SetActivePage(SubTab(found));
            SubPageChange(SubPage);
        } else {
            SubPage->SetActivePage(nullptr);
        }
    }

    if (TeeOnShowEditor) TeeOnShowEditor(this);

    // Showing a page tells its controls, which may ask the user or move the
    // focus: the editor may go meanwhile.
    TCallOut held{this};
    if (TheEditSeries) {
        LBSeries->SetSelectedSeries(TheEditSeries);
        LBSeriesEditSeries(LBSeries);
        if (held.Gone()) return;
    } else if (TheTool && TabTools->TabVisible()) {
        MainPage->SetActivePage(TabTools);
        MainPageChange(MainPage);
        if (held.Gone()) return;
    } else if (LBSeries->Items()->Count() > 0) {
        if (LBSeries->CanFocus()) SetActiveControl(LBSeries);
        if (held.Gone()) return;
        LBSeries->SelectSeries(0);
        LBSeriesRefreshButtons(LBSeries);
    } else {
        LBSeriesRefreshButtons(LBSeries);
    }

    if ((DefaultTab == 9 || DefaultTab == 10) && LBSeries->GetSelectedSeries()) {
        MainPage->SetActivePage(TabSeries);
        SetTabSeries();
        if (held.Gone() || !TheFormSeries) return;
        TheFormSeries->PageSeries->SetActivePage(DefaultTab == 9 ? TheFormSeries->TabGeneral
                                                                 : TheFormSeries->TabMarks);
        TheFormSeries->PageSeriesChange(TheFormSeries->PageSeries);
    }
}

// ---------------------------------------------------------------------------
// Pages

TCustomForm* TChartEditForm::PageForm(TTabSheet* Tab) const {
    for (int i = 0; i < Tab->ControlCount(); ++i)
        if (auto* f = dynamic_cast<TCustomForm*>(Tab->Controls(i))) return f;
    return nullptr;
}

void TChartEditForm::SubPageChange(TObject*) {
    TTabSheet* page = SubPage->ActivePage();
    if (!TheChart || !page) return;
    if (HighLightTabs) page->SetHighlighted(true);
    const int index = page->PageIndex();
    if (index >= 1 && index <= 8 && page->ControlCount() == 0) {
        TPersistent* object = TheChart;
        switch (index) {
        case 2:
            if (!TheAxis) TheAxis = TheChart->LeftAxis();
            object = TheAxis;
            break;
        case 3:
            if (!TheTitle) TheTitle = TheChart->Title();
            object = TheTitle;
            break;
        case 4:
            object = TheChart->Legend();
            break;
        case 7:
            if (!TheWall) TheWall = TheChart->LeftWall();
            object = TheWall;
            break;
        default:
            break;
        }
        TCustomForm* form = TeeCreateFormByClass(GetClass(SubPageForms[index]), this);
        if (!form) {
            // The page's form is not part of this program: an empty page.
            form = new TForm(this);
        }
        Embed(form, page, object);
        TeeTranslateControl(form);
    }
    TeeWidenForTabs(page);
    if (page == Tab3D)
        if (auto* view = dynamic_cast<TFormTee3D*>(PageForm(Tab3D))) {
            TChartSeries* first = nullptr;
            for (int i = 0; i < TheChart->SeriesCount() && !first; ++i)
                if (TheChart->Series(i)->Active()) first = TheChart->Series(i);
            view->AllowRotation =
                TheChart->Canvas()->SupportsFullRotation() || !dynamic_cast<TPieSeries*>(first);
            view->CheckRotation();
        }
}

void TChartEditForm::MainPageChange(TObject*) {
    TTabSheet* page = MainPage->ActivePage();
    if (!page) return;
    if (HighLightTabs) page->SetHighlighted(true);
    // The pages' forms may ask the user or tell their handlers.
    TCallOut held{this, page};
    if (page == TabSeries) {
        SetTabSeries();
        if (held.Gone()) return;
    } else if (page == TabTools) {
        auto* tools = dynamic_cast<TFormTeeTools*>(PageForm(TabTools));
        if (!tools) {
            tools = new TFormTeeTools(this);
            Embed(tools, TabTools, TheChart);
            if (TheTool) {
                const int row = tools->RowOf(TheTool);
                if (row >= 0) {
                    tools->LBTools->SetItemIndex(row);
                    tools->LBToolsClick(tools->LBTools);
                }
                TheTool = nullptr;
            }
        } else {
            tools->Reload();
        }
    } else if (page == TabData) {
        // Bound again each time, so the grid follows series changed meanwhile.
        if (TCustomForm* form = PageForm(TabData)) {
            if (form->OnShow) form->OnShow(form);
            if (held.Gone()) return;
        } else if (TCustomForm* form = TeeCreateFormByClass(GetClass("TFormTeeData"), this)) {
            Embed(form, TabData, TheChart);
            // The data tab's controls are the editor's own, translated with it.
            TeeTranslateControl(form);
        }
    } else if (page == TabExport || page == TabPrint) {
        TWinControl* tab = page;
        if (page == TabPrint && PreviewForm) {
            // The other pages may have changed the chart since the picture was drawn.
            if (auto* preview = dynamic_cast<TChartPreview*>(PreviewForm)) {
                preview->PreviewPanel()->Invalidate();
                preview->PreviewPanel()->Repaint();
            }
        } else if (!PageForm(page)) {
            const char* name = page == TabExport ? "TTeeExportForm" : "TChartPreview";
            if (TCustomForm* form = TeeCreateFormByClass(GetClass(name), this)) {
                // The editor's own Close serves; the print page shows no margin fields.
                auto hide = [form](const char* Name) {
                    if (auto* c = dynamic_cast<TControl*>(form->FindComponent(Name)))
                        c->SetVisible(false);
                };
                hide("BClose");
                if (page == TabPrint) {
                    hide("GBMargins");
                    hide("PanelMargins");
                    // Charts of several pages are moved through below the options.
                    if (auto* preview = dynamic_cast<TChartPreview*>(form))
                        preview->PageNavigatorClass = &TChartPageNavigator::ClassInfo;
                }
                Embed(form, tab, TheChart);
                if (page == TabPrint) PreviewForm = form;
            }
        }
        // The size shown last time may no longer be the chart's: asked for again.
        if (auto* exporter = dynamic_cast<TTeeExportFormBase*>(PageForm(page))) {
            exporter->CBFileSize->SetChecked(false);
            exporter->EnableButtons();
        }
    }
    TeeWidenForTabs(page);
}

void TChartEditForm::SetTabSeries() {
    if (!TheFormSeries) {
        TheFormSeries = new TFormTeeSeries(this);
        TheFormSeries->FreeNotification(this);
        LBSeries->SetOtherItems(TheFormSeries->CBSeries->Items());
        TheFormSeries->ListBox = LBSeries;
        TheFormSeries->ShowTabDataSource = EditorOptions.Contains(ceDataSource);
        TheFormSeries->ShowTabGeneral = !HideTabs.Contains(cetSeriesGeneral);
        TheFormSeries->ShowTabMarks = !HideTabs.Contains(cetSeriesMarks);
        TheFormSeries->IsDssGraph = IsDssGraph;
        TheFormSeries->SetBorderIcons({});
        TheFormSeries->SetBorderStyle(bsNone);
        TheFormSeries->SetParent(TabSeries);
        TheFormSeries->SetAlign(alClient);
        TheFormSeries->SetTheSeries(LBSeries->GetSelectedSeries());
        LBSeries->FillSeries(TheFormSeries->TheSeries());
        TheFormSeries->Show();
        TeeTranslateControl(TheFormSeries);
    } else {
        TheFormSeries->SetTheSeries(LBSeries->GetSelectedSeries());
    }
    TheFormSeries->SetCBSeries();
}

// ---------------------------------------------------------------------------
// Series commands

void TChartEditForm::LBSeriesRefreshButtons(TObject*) {
    const int current = LBSeries->ItemIndex();
    TChartSeries* s = LBSeries->GetSelectedSeries();
    // The chart tells of a removal while it still holds the series, one place
    // further down than the list shows it: the row's series need only be the chart's.
    const bool valid = TheChart && TheChart->SeriesCount() > 0 && s && current >= 0 &&
                       TheChart->SeriesList()->IndexOf(s) >= 0;
    const bool inherited = valid && s->ComponentState().Contains(csAncestor);
    const TChartSeriesStyle style = valid ? s->Style() : TChartSeriesStyle{};
    const bool single = LBSeries->SelCount() < 2;
    const TChartEditorOptions& o = EditorOptions;
    BAddSeries->SetEnabled(o.Contains(ceAdd));
    BDeleteSeries->SetEnabled(valid && !inherited && o.Contains(ceDelete) &&
                              !style.Contains(tssIsTemplate) && !style.Contains(tssDenyDelete));
    BRenameSeries->SetEnabled(valid && single && o.Contains(ceTitle));
    BChangeTypeSeries->SetEnabled(valid && !inherited && o.Contains(ceChange) &&
                                  !style.Contains(tssDenyChangeType));
    BCloneSeries->SetEnabled(valid && single && o.Contains(ceClone) &&
                             !style.Contains(tssIsTemplate) && !style.Contains(tssDenyClone));
    BMoveDown->SetEnabled(valid && single && current < LBSeries->Items()->Count() - 1);
    BMoveUP->SetEnabled(valid && single && current >= 1);
}

void TChartEditForm::LBSeriesEditSeries(TObject*) {
    if (LBSeries->ItemIndex() < 0) return;
    MainPage->SetActivePage(TabSeries);
    SetTabSeries();
}

void TChartEditForm::BAddSeriesClick(TObject*) {
    // The gallery is modal: the editor or the new series may go meanwhile.
    TCallOut held{this};
    const TWatched<TChartSeries> s = LBSeries->AddSeriesGallery();
    if (held.Gone()) return;
    LBSeriesRefreshButtons(LBSeries);
    if (!s || !s->FunctionType()) return;
    AddedSeries = s;
    s->FreeNotification(this);
    MainPage->SetActivePage(TabSeries);
    SetTabSeries();
    if (held.Gone() || !TheFormSeries) return;
    TheFormSeries->PageSeries->SetActivePage(TheFormSeries->TabDataSource);
    TheFormSeries->PageSeriesChange(TheFormSeries->PageSeries);
}

void TChartEditForm::AfterSeriesListChange() {
    if (TheFormSeries) {
        TCallOut held{this};
        TheFormSeries->DestroySeriesForms();
        if (held.Gone() || !TheFormSeries) return;
        TheFormSeries->SetTheSeries(LBSeries->GetSelectedSeries());
    }
    LBSeriesRefreshButtons(LBSeries);
}

void TChartEditForm::BDeleteSeriesClick(TObject*) {
    TCallOut held{this};
    LBSeries->DeleteSeries();
    if (held.Gone()) return;
    AfterSeriesListChange();
}

void TChartEditForm::BChangeTypeSeriesClick(TObject*) {
    TCallOut held{this};
    LBSeries->ChangeTypeSeries();
    if (held.Gone()) return;
    AfterSeriesListChange();
}

void TChartEditForm::BRenameSeriesClick(TObject*) {
    TCallOut held{this};
    LBSeries->RenameSeries();
    if (held.Gone()) return;
    if (!Parent() && LBSeries->CanFocus()) SetActiveControl(LBSeries);
}

void TChartEditForm::BCloneSeriesClick(TObject*) {
    LBSeries->CloneSeries();
    LBSeriesRefreshButtons(LBSeries);
}
