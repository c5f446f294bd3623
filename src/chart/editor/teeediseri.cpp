// Series page of the chart editor.
//   editor lookup     the form classes of series and functions, by name
//   construction      the fixed part; the tabs' controls live in teeediserigeneral
//   series choice     CBSeriesChange, the per-series form, chart events
//   data source       manual, random, function
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeseriesicon.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <memory>

QM_CLASS_OWNED(TFormTeeSeries, TForm, TComponent)

TOnCreateEditSeries InternalOnCreateEditSeries;
TOnCreateEditSeries InternalOnCreateEditSeriesObj;

namespace {
enum { dsManual, dsRandom, dsFunction };
} // namespace

TCustomForm* TeeCreateFormByClass(TClass AClass, TComponent* AOwner) {
    if (!AClass || !AClass->Factory || !AClass->InheritsFrom(&TCustomForm::ClassInfo))
        return nullptr;
    return dynamic_cast<TCustomForm*>(AClass->Factory(AOwner));
}

TClass SeriesEditorForm(TChartSeries* ASeries) {
    if (!ASeries) return nullptr;
    const AnsiString name = ASeries->GetEditorClass();
    return name.IsEmpty() ? nullptr : GetClass(name);
}

TClass FunctionEditorForm(TTeeFunction* AFunction) {
    if (!AFunction) return nullptr;
    const AnsiString name = AFunction->GetEditorClass();
    return name.IsEmpty() ? nullptr : GetClass(name);
}

TFormTeeSeries::TFormTeeSeries(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormTeeSeries");
    SetClientWidth(400);
    SetClientHeight(262);
    Panel1 = NewControl<TPanel>(this, this, "Panel1", 0, 0, 400, 30);
    Panel1->SetAlign(alTop);
    Panel1->SetBevelOuter(bvNone);
    CBSeries = NewControl<TComboBox>(this, Panel1, "CBSeries", 4, 4, 160, 21);
    CBSeries->SetStyle(csDropDownList);
    CBSeries->SetDropDownCount(16);
    CBSeries->OnChange = [this](TObject* s) { CBSeriesChange(s); };
    ImageSeries =
        NewControl<TImage>(this, Panel1, "ImageSeries", 4, 4, TeeSeriesIconSize, TeeSeriesIconSize);
    CBSeries->SetLeft(30);
    PaintBox1 = NewControl<TPaintBox>(this, Panel1, "PaintBox1", 194, 4, 24, 22);
    PaintBox1->SetCursor(crHandPoint);
    PaintBox1->OnPaint = [this](TObject*) { PaintSwatch(); };
    PaintBox1->OnClick = [this](TObject*) { SwatchClick(); };
    LabelSeriesClass = NewControl<TLabel>(this, Panel1, "LabelSeriesClass", 224, 8, 170, 13);
    PageSeries = NewControl<TPageControl>(this, this, "PageSeries", 0, 30, 400, 232);
    PageSeries->SetAlign(alClient);
    auto tab = [this](const char* name, const char* caption) {
        auto* t = new TTabSheet(this);
        t->SetName(name);
        t->SetCaption(caption);
        t->SetPageControl(PageSeries);
        return t;
    };
    TheTabSheet = tab("TheTabSheet", "Format");
    TabGeneral = tab("TabGeneral", "General");
    TabMarks = tab("TabMarks", "Marks");
    TabDataSource = tab("TabDataSource", "Data Source");
    CreateGeneralTab();
    CreateMarksTab();
    CBDataSourcestyle =
        NewControl<TComboBox>(this, TabDataSource, "CBDataSourcestyle", 8, 6, 145, 21);
    CBDataSourcestyle->SetStyle(csDropDownList);
    for (const char* s : {"Manual", "Random", "Function"})
        CBDataSourcestyle->Items()->Add(s);
    CBDataSourcestyle->OnChange = [this](TObject* s) { CBDataSourcestyleChange(s); };
    // Shown only for a source class that keeps items of its own; its editor form
    // gives them their actions.
    NewDataButton = NewControl<TButton>(this, TabDataSource, "NewDataButton", 160, 4, 75, 25);
    NewDataButton->SetCaption("&New...");
    EditDataButton = NewControl<TButton>(this, TabDataSource, "EditDataButton", 238, 4, 75, 25);
    EditDataButton->SetCaption("&Edit...");
    DeleteDataButton = NewControl<TButton>(this, TabDataSource, "DeleteDataButton", 316, 4, 75, 25);
    DeleteDataButton->SetCaption("&Delete");
    for (TButton* b : {NewDataButton, EditDataButton, DeleteDataButton})
        b->Hide();
    PanelDataSource = NewControl<TPanel>(this, TabDataSource, "PanelDataSource", 0, 32, 392, 172);
    PanelDataSource->SetBevelOuter(bvNone);
    CreateSamplesPanel();
    PageSeries->SetActivePage(TheTabSheet);
    PageSeries->OnChange = [this](TObject* s) { PageSeriesChange(s); };
    PageSeries->OnChanging = [this](TObject*, bool& Allow) {
        Allow = !FDataSourceForm || FDataSourceForm->CloseQuery();
    };
}

TFormTeeSeries::~TFormTeeSeries() {
    JoinChart(nullptr);
}

void TFormTeeSeries::JoinChart(TCustomAxisPanel* AChart) {
    if (AChart == FListenedChart) return;
    if (FListenedChart) {
        FListenedChart->RemoveListener(this);
        FListenedChart->RemoveFreeNotification(this);
    }
    FListenedChart = AChart;
    if (FListenedChart) {
        FListenedChart->Listeners()->Add(this);
        FListenedChart->FreeNotification(this);
    }
}

void TFormTeeSeries::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FListenedChart.Is(AComponent)) FListenedChart = nullptr;
    if (AComponent == FSeriesForm) FSeriesForm = nullptr;
    std::erase(FSeriesForms, AComponent);
    if (AComponent == FDataSourceForm) FDataSourceForm = nullptr;
    if (AComponent == FMarksForm) FMarksForm = nullptr;
    if (FTheSeries.Is(AComponent)) FTheSeries = nullptr;
    if (FLastSeries.Is(AComponent)) FLastSeries = nullptr;
}

void TFormTeeSeries::TeeEvent(TTeeEvent* Event) {
    auto* e = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (!e || IsDestroying()) return;
    if (e->Event == seChangeColor && FTheSeries.Is(e->Series)) PaintBox1->Invalidate();
    if (e->Event == seRemove && FTheSeries.Is(e->Series)) {
        // Found before the data source's page may ask the user to apply.
        const int index = CBSeries->Items()->IndexOfObject(e->Series);
        TCallOut held{this};
        DestroySeriesForms();
        if (held.Gone()) return;
        FTheSeries = nullptr;
        FLastSeries = nullptr;
        if (index >= 0 && index < CBSeries->Items()->Count()) CBSeries->Items()->Delete(index);
        CBSeries->SetItemIndex(-1);
        CBSeriesChange(CBSeries);
    }
}

void TFormTeeSeries::SetTheSeries(TChartSeries* Value) {
    if (FTheSeries) FTheSeries->RemoveFreeNotification(this);
    FTheSeries = Value;
    if (FTheSeries) FTheSeries->FreeNotification(this);
}

void TFormTeeSeries::SetCBSeries() {
    if (!FTheSeries) {
        PageSeries->Hide();
        return;
    }
    if (ListBox && CBSeries->Items()->Count() != ListBox->Items()->Count())
        CBSeries->Items()->Assign(ListBox->Items());
    CBSeries->SetItemIndex(CBSeries->Items()->IndexOfObject(FTheSeries));
    CBSeriesChange(CBSeries);
}

TFormTeeSeries* TeeSeriesPageOf(TControl* Form) {
    auto* sheet = dynamic_cast<TTabSheet*>(Form ? Form->Parent() : nullptr);
    TPageControl* pages = sheet ? sheet->PageControl() : nullptr;
    auto* page = pages ? dynamic_cast<TFormTeeSeries*>(pages->Owner()) : nullptr;
    return page && page->PageSeries == pages ? page : nullptr;
}

void TeeAddToTab(TCustomForm* Form, TTabSheet* Tab, TPersistent* AObject) {
    auto* page =
        Tab->PageControl() ? dynamic_cast<TFormTeeSeries*>(Tab->PageControl()->Owner()) : nullptr;
    if (page && page->PageSeries == Tab->PageControl())
        page->AddToTab(Form, Tab, AObject);
    else
        AddFormTo(Form, Tab, AObject);
}

TTabSheet* TFormTeeSeries::AddSeriesTab(int TabPosition, const AnsiString& Caption) {
    auto* tab = new TTabSheet(this);
    tab->SetPageControl(PageSeries);
    tab->SetCaption(Caption);
    if (TabPosition >= 0 && TabPosition < PageSeries->PageCount() - 1)
        tab->SetPageIndex(TabPosition);
    return tab;
}

int TFormTeeSeries::ExtraTabPosition() const {
    return TabGeneral->PageIndex();
}

TCustomForm* TFormTeeSeries::InsertSeriesForm(TClass FormClass, int TabPosition,
                                              const AnsiString& Caption, TPersistent* AObject) {
    if (!FormClass || !FormClass->Factory || !FormClass->InheritsFrom(&TCustomForm::ClassInfo))
        return nullptr;
    TTabSheet* current = PageSeries->ActivePage();
    TTabSheet* tab = AddSeriesTab(TabPosition, Caption);
    TCustomForm* form = TeeCreateFormByClass(FormClass, tab);
    AddToTab(form, tab, AObject);
    // Docking shows the new tab for a moment; the user stays where he was.
    PageSeries->SetActivePage(current);
    return form;
}

void TFormTeeSeries::AddToTab(TCustomForm* Form, TTabSheet* Tab, TPersistent* AObject) {
    Form->SetAlign(alClient);
    FSeriesForms.push_back(Form);
    Form->FreeNotification(this);
    // The tab's caption too: a further tab is made after the page was translated.
    TeeTranslateControl(Tab);
    TeeTranslateControl(Form);
    AddFormTo(Form, Tab, AObject);
}

void TFormTeeSeries::DestroySeriesForms() {
    FSeriesForm = nullptr;
    // Last first: a further page may belong to the form that added it, and
    // goes from the list when that form takes it along.
    while (!FSeriesForms.empty()) {
        TCustomForm* form = FSeriesForms.back();
        FSeriesForms.pop_back();
        form->RemoveFreeNotification(this);
        delete form;
    }
    // Tabs a series editor added for its further pages go with it.
    for (int i = PageSeries->PageCount() - 1; i >= 0; --i) {
        TTabSheet* tab = PageSeries->Pages(i);
        if (tab != TheTabSheet && tab != TabGeneral && tab != TabMarks && tab != TabDataSource)
            delete tab;
    }
    if (FDataSourceForm) {
        // The page may ask the user to apply what it holds.
        TCallOut held{this};
        const bool close = FDataSourceForm->CloseQuery();
        if (held.Gone()) return;
        if (close && FDataSourceForm) {
            TCustomForm* form = FDataSourceForm;
            FDataSourceForm = nullptr;
            delete form;
        }
    }
    FDataChoice = -1;
}

void TFormTeeSeries::CBSeriesChange(TObject*) {
    // Nothing is written while the page changes series: the new series' page
    // is read (PageSeriesChange) after the guard is gone.
    std::unique_ptr<TLoadGuard> guard(new TLoadGuard(FBind.Guard()));
    // Drawing a series' icon, closing its pages and reading the new ones may
    // tell handlers that free this form or the series.
    TCallOut held{this};
    // By caption: the page may be one of the tabs the old series' editor added.
    const AnsiString remembered =
        PageSeries->ActivePage() ? PageSeries->ActivePage()->Caption() : "";
    const int index = CBSeries->ItemIndex();
    TChartSeries* s =
        index >= 0 ? static_cast<TChartSeries*>(CBSeries->Items()->Objects(index)) : nullptr;
    if (!s) {
        LabelSeriesClass->SetCaption("");
        ImageSeries->Hide();
        PaintBox1->Hide();
        PageSeries->Hide();
        SetTheSeries(nullptr);
        return;
    }
    SetTheSeries(s);
    if (ListBox) ListBox->SetSelectedSeries(s);
    if (s != FLastSeries) {
        JoinChart(s->ParentChart());
        FillDataSources(s->ParentChart());
        LabelSeriesClass->SetCaption(GetGallerySeriesName(s) + ": " +
                                     (s->Title().IsEmpty() ? s->Name() : s->Title()));
        TCallOut series{s};
        TBitmap* icon = TeeSeriesIcon(s->ClassType());
        if (held.Gone()) return guard->Disarm();
        if (series.Gone()) return;
        ImageSeries->Picture()->Assign(icon);
        ImageSeries->Show();
        PaintBox1->SetVisible(s->UseSeriesColor());
        CBPersistent->SetVisible(IsDssGraph && !s->Style().Contains(tssIsTemplate));
        CBPersistent->SetChecked(s->Style().Contains(tssIsPersistent));
        PageSeries->Show();
        TabGeneral->SetTabVisible(ShowTabGeneral);
        TabMarks->SetTabVisible(ShowTabMarks);
        TabDataSource->SetTabVisible(ShowTabDataSource && !s->Style().Contains(tssIsTemplate) &&
                                     !s->Style().Contains(tssHideDataSource));
        DestroySeriesForms();
        if (held.Gone()) return guard->Disarm();
        if (series.Gone()) return;
        if (TCustomForm* form = TeeCreateFormByClass(SeriesEditorForm(s), this)) {
            FSeriesForm = form;
            form->FreeNotification(this);
            TheTabSheet->SetTabVisible(true);
            AddToTab(form, TheTabSheet, s);
        } else {
            TheTabSheet->SetTabVisible(false);
        }
    }
    TTabSheet* target = TheTabSheet;
    for (int i = 0; i < PageSeries->PageCount(); ++i)
        if (PageSeries->Pages(i)->Caption() == remembered && PageSeries->Pages(i)->TabVisible())
            target = PageSeries->Pages(i);
    if (!target->TabVisible()) target = TabGeneral;
    PageSeries->SetActivePage(target);
    guard.reset();
    TCallOut series{s};
    PageSeriesChange(PageSeries);
    if (held.Gone() || series.Gone()) return;
    guard.reset(new TLoadGuard(FBind.Guard()));
    PaintBox1->Invalidate();
    FLastSeries = s;
    if (InternalOnCreateEditSeries) InternalOnCreateEditSeries(this, s->ParentChart());
    if (InternalOnCreateEditSeriesObj) InternalOnCreateEditSeriesObj(this, s->ParentChart());
}

// Every bound control is read, the hidden tabs' too; the lists and the data
// source only for the tab shown.
void TFormTeeSeries::PageSeriesChange(TObject*) {
    if (!FTheSeries) return;
    TTabSheet* page = PageSeries->ActivePage();
    if (page == TabGeneral)
        FillGeneralTab();
    else if (page == TabMarks)
        FillMarksTab();
    FBind.Load();
    auto guard = FBind.Guard();
    EnableMultiLine();
    if (page == TabDataSource) SetTabDataSource();
}

void TFormTeeSeries::FillDataSources(TCustomAxisPanel* AChart) {
    TStrings* items = CBDataSourcestyle->Items();
    while (items->Count() > dsFunction + 1)
        items->Delete(items->Count() - 1);
    FSourceRows.clear();
    for (const TTeeSourceClass& c : TeeSources())
        if (!c.Available || c.Available(AChart)) {
            items->Add(c.Description ? c.Description() : AnsiString(c.Class->Name));
            FSourceRows.push_back(c.Class);
        }
}

const TTeeSourceClass* TFormTeeSeries::SourceClassAt(int Row) const {
    const int k = Row - (dsFunction + 1);
    if (k < 0 || k >= static_cast<int>(FSourceRows.size())) return nullptr;
    for (const TTeeSourceClass& c : TeeSources())
        if (c.Class == FSourceRows[static_cast<size_t>(k)]) return &c;
    return nullptr;
}

void TFormTeeSeries::SetTabDataSource() {
    TChartSeries* s = FTheSeries;
    int choice = dsManual;
    if (s->FunctionType())
        choice = dsFunction;
    else if (dynamic_cast<TChartSeries*>(s->DataSource()))
        choice = dsFunction;
    else if (!s->DataSource() && s->Count() > 0 && !s->HasDataStored())
        choice = dsRandom;
    else if (auto* source = dynamic_cast<TTeeSeriesSource*>(s->DataSource()))
        for (size_t k = 0; k < FSourceRows.size(); ++k)
            if (source->ClassType() == FSourceRows[k])
                choice = dsFunction + 1 + static_cast<int>(k);
    CBDataSourcestyle->SetItemIndex(choice);
    if (choice != FDataChoice) {
        FDataChoice = choice;
        CreateDataSourceForm();
    }
}

void TFormTeeSeries::CreateDataSourceForm() {
    if (FDataSourceForm) {
        TCallOut held{this};
        const bool close = FDataSourceForm->CloseQuery();
        if (held.Gone() || !close || !FDataSourceForm) return;
        TCustomForm* form = FDataSourceForm;
        FDataSourceForm = nullptr;
        delete form;
    }
    Panel4->Hide();
    for (TButton* b : {NewDataButton, EditDataButton, DeleteDataButton})
        b->Hide();
    if (!FTheSeries) return;
    if (const TTeeSourceClass* source = SourceClassAt(CBDataSourcestyle->ItemIndex())) {
        if (TCustomForm* form = TeeCreateFormByClass(GetClass(source->EditorClass), this)) {
            FDataSourceForm = form;
            form->FreeNotification(this);
            form->SetAlign(alClient);
            TeeTranslateControl(form);
            AddFormTo(form, PanelDataSource, FTheSeries);
        }
        if (source->HasNew && source->HasNew())
            for (TButton* b : {NewDataButton, EditDataButton, DeleteDataButton})
                b->Show();
        return;
    }
    if (CBDataSourcestyle->ItemIndex() == dsRandom) {
        FillSamples();
        Panel4->Show();
    }
    if (CBDataSourcestyle->ItemIndex() == dsManual) {
        // The series' own points in the data grid.
        if (TCustomForm* form = TeeCreateFormByClass(GetClass("TFormTeeData"), this)) {
            FDataSourceForm = form;
            form->FreeNotification(this);
            form->SetAlign(alClient);
            TeeTranslateControl(form);
            AddFormTo(form, PanelDataSource, FTheSeries);
        }
        return;
    }
    if (CBDataSourcestyle->ItemIndex() != dsFunction) return;
    if (TCustomForm* form = TeeCreateFormByClass(GetClass("TTeeFuncEditor"), this)) {
        FDataSourceForm = form;
        form->FreeNotification(this);
        form->SetAlign(alClient);
        TeeTranslateControl(form);
        AddFormTo(form, PanelDataSource, FTheSeries);
    }
}

void TFormTeeSeries::CBDataSourcestyleChange(TObject*) {
    if (FBind.Loading() || !FTheSeries) return;
    const int choice = CBDataSourcestyle->ItemIndex();
    if (choice == dsManual || choice == dsRandom) {
        if (FTheSeries->FunctionType()) FTheSeries->SetFunction(nullptr);
        FTheSeries->SetDataSource(nullptr);
        if (choice == dsManual) FTheSeries->SetHasDataStored(true);
    }
    FDataChoice = choice;
    CreateDataSourceForm();
}

bool TFormTeeSeries::CloseQuery() {
    if (FDataSourceForm) {
        TCallOut held{this};
        const bool close = FDataSourceForm->CloseQuery();
        if (held.Gone() || !close) return false;
    }
    return TForm::CloseQuery();
}
