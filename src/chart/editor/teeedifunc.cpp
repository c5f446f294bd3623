// Function page of the series page's data-source tab.
//   construction   function list, source tab, options tab
//   choice         CBSourcesChange: the series' function and the options page
//   sources        the single source with its value list, or the picker
//   apply          sources checked for cycles first, then written at once
#include "chart/editor/teeedifunc.h"
#include "platform/classes/watched.h"

#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediperi.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teengine.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/format.h"
#include <algorithm>
#include <memory>

QM_CLASS_OWNED(TTeeFuncEditor, TBaseSourceEditor, TComponent)

namespace {
// Ends a series' update on every path.
class TSeriesUpdate {
public:
    explicit TSeriesUpdate(TChartSeries* S) : FSeries(S) { FSeries->BeginUpdate(); }
    ~TSeriesUpdate() { FSeries->EndUpdate(); }
    TSeriesUpdate(const TSeriesUpdate&) = delete;
    TSeriesUpdate& operator=(const TSeriesUpdate&) = delete;

private:
    TChartSeries* FSeries;
};

AnsiString OneLine(const AnsiString& S) {
    std::string s = S.c_str();
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::replace(s.begin(), s.end(), '\r', ' ');
    return AnsiString(s.c_str());
}
} // namespace

TTeeFuncEditor::TTeeFuncEditor(TComponent* AOwner) : TBaseSourceEditor(AOwner) {
    LLabel->SetCaption("&Functions:");
    CBSources->SetSorted(true);
    CBSources->Items()->AddObject(TeeMsg_FunctionNone, nullptr);
    TTeeSeriesTypes& types = TeeSeriesTypes();
    for (int i = 0; i < types.Count(); ++i) {
        TTeeSeriesType* t = types[i];
        if (t->FunctionClass && !t->SeriesClass)
            CBSources->Items()->AddObject(OneLine(t->DescriptionText()), t);
    }
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 32, 380, 168);
    PageControl1->SetAlign(alClient);
    TabSource = TeeNewTab(PageControl1, "TabSource", "Source Series");
    TabOptions = TeeNewTab(PageControl1, "TabOptions", "Options");
    PanSingle = TeeNew<TPanel>(this, TabSource, "PanSingle", 0, 0, 372, 64);
    PanSingle->SetAlign(alTop);
    PanSingle->SetBevelOuter(bvNone);
    CBSingle = TeeNewCombo(this, PanSingle, "CBSingle", 70, 6, 150, {});
    TeeNewLabel(this, PanSingle, "&Series:", 8, 10, CBSingle);
    CBValues = TeeNewCombo(this, PanSingle, "CBValues", 70, 34, 150, {});
    CBValues->SetEnabled(false);
    LValues = TeeNewLabel(this, PanSingle, "&Values:", 8, 38, CBValues);
    BNone = TeeNewButton(this, PanSingle, "BNone", "&None", 230, 4);
    BNone->SetEnabled(false);
    // The sources are written on Apply; the page fills these lists itself.
    FBind.Index(CBSingle, nullptr, [this](int) { CBSingleChange(CBSingle); });
    FBind.Index(CBValues, nullptr, [this](int) { BApply->SetEnabled(true); });
    BNone->OnClick = [this](TObject*) {
        CBSingle->SetItemIndex(-1);
        CBSingleChange(CBSingle);
    };
    BApply->OnClick = [this](TObject* s) { BApplyClick(s); };
    PageControl1->SetActivePage(TabSource);
    OnShow = [this](TObject* s) { FormShow(s); };
}

TTeeFuncEditor::~TTeeFuncEditor() {
    JoinChart(nullptr);
}

void TTeeFuncEditor::JoinChart(TCustomAxisPanel* AChart) {
    if (AChart == FChart) return;
    if (FChart) {
        FChart->RemoveListener(this);
        FChart->RemoveFreeNotification(this);
    }
    FChart = AChart;
    if (FChart) {
        FChart->Listeners()->Add(this);
        FChart->FreeNotification(this);
    }
}

void TTeeFuncEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TBaseSourceEditor::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FChart.Is(AComponent)) FChart = nullptr;
    if (AComponent == FOptions) FOptions = nullptr;
    if (FSeries.Is(AComponent)) FSeries = nullptr;
}

TClass TTeeFuncEditor::ChosenClass() const {
    const int i = CBSources->ItemIndex();
    if (i < 0) return nullptr;
    auto* t = static_cast<TTeeSeriesType*>(CBSources->Items()->Objects(i));
    return t ? t->FunctionClass : nullptr;
}

void TTeeFuncEditor::FormShow(TObject* Sender) {
    TBaseSourceEditor::FormShow(Sender);
    PageControl1->SetActivePage(TabSource);
    if (!FSeries) return;
    FSeries->FreeNotification(this);
    JoinChart(FSeries->ParentChart());
    if (!FPicker) {
        FPicker = new TSelectListForm(this);
        FPicker->FromList->SetWidth(FPicker->FromList->Width() - 5);
        FPicker->ToList->SetWidth(FPicker->ToList->Width() - 5);
        FPicker->SetWidth(FPicker->Width() - 8);
        FPicker->SetAlign(alClient);
        FPicker->OnChange = [this](TObject* s) { CBSourcesChange(s); };
        AddFormTo(FPicker, TabSource, FSeries);
    }
    {
        auto guard = FBind.Guard();
        int index = CBSources->Items()->IndexOf(TeeMsg_FunctionNone);
        if (TTeeFunction* f = FSeries->FunctionType()) {
            index = -1;
            for (int i = 0; i < CBSources->Items()->Count(); ++i) {
                auto* t = static_cast<TTeeSeriesType*>(CBSources->Items()->Objects(i));
                if (t && t->FunctionClass == f->ClassType()) index = i;
            }
            // A function the list does not offer (one registered with its own
            // series type) is shown by its gallery entry, never dropped.
            if (index < 0) {
                TTeeSeriesTypes& types = TeeSeriesTypes();
                for (int i = 0; i < types.Count() && index < 0; ++i)
                    if (types[i]->FunctionClass == f->ClassType())
                        index = CBSources->Items()->AddObject(OneLine(types[i]->DescriptionText()),
                                                              types[i]);
            }
        }
        CBSources->SetItemIndex(index);
    }
    TCallOut held{this};
    CBSourcesChange(nullptr);
    if (held.Gone() || !FSeries) return;
    BApply->SetEnabled(!FSeries->FunctionType() && !FSeries->DataSource());
}

void TTeeFuncEditor::CBSourcesChange(TObject* Sender) {
    if (!FSeries || FBind.Loading()) return;
    // A change of the picker's lists only needs applying.
    if (Sender && Sender == FPicker) {
        BApply->SetEnabled(true);
        return;
    }
    if (Sender) BApply->SetEnabled(true);
    // Showing the page keeps the series' function whatever the list shows.
    const TClass cls =
        Sender || !FSeries->FunctionType() ? ChosenClass() : FSeries->FunctionType()->ClassType();
    TabOptions->SetTabVisible(cls != nullptr);
    if (FOptions) {
        TCustomForm* old = FOptions;
        FOptions = nullptr;
        delete old;
    }
    FSingle = false;
    bool noSource = false;
    if (!cls) {
        if (FSeries->FunctionType()) FSeries->SetFunction(nullptr);
    } else {
        TTeeFunction* f = FSeries->FunctionType();
        if (!f || f->ClassType() != cls) f = CreateNewTeeFunction(FSeries, cls);
        FSingle = f->SingleSource();
        noSource = f->NoSourceRequired();
        CBValues->SetVisible(!f->HideSourceList());
        LValues->SetVisible(!f->HideSourceList());
        if (TCustomForm* form = TeeCreateFormByClass(FunctionEditorForm(f), this)) {
            FOptions = form;
            form->FreeNotification(this);
            if (auto* page = dynamic_cast<TBaseFunctionEditor*>(form)) {
                page->FunctionClass = cls;
                page->Series = FSeries;
            }
            form->SetAlign(alClient);
            AddFormTo(form, TabOptions, f);
        } else {
            TabOptions->SetTabVisible(false);
        }
    }
    PanSingle->SetVisible(FSingle);
    if (FPicker) {
        // Hiding the picker moves the focus, which tells its handlers.
        TCallOut held{this};
        FPicker->SetVisible(!FSingle);
        if (held.Gone() || !FSeries) return;
    }
    TabSource->SetTabVisible(!noSource);
    FillSourceSeries();
    if (cls && (noSource || FSeries->DataSource()) && TabOptions->TabVisible())
        PageControl1->SetActivePage(TabOptions);
    else if (TabSource->TabVisible())
        PageControl1->SetActivePage(TabSource);
}

void TTeeFuncEditor::FillSourceSeries() {
    if (!FSeries) return;
    auto guard = FBind.Guard();
    CBSingle->Items()->Clear();
    TStrings* from = FPicker ? FPicker->FromList->Items() : nullptr;
    TStrings* to = FPicker ? FPicker->ToList->Items() : nullptr;
    if (from) from->Clear();
    if (to) to->Clear();
    const auto& sources = FSeries->DataSources();
    if (TCustomAxisPanel* chart = FSeries->ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->Series(i);
            if (s->Owner() != FSeries->Owner() || s == FRemoving) continue;
            if (std::find(sources.begin(), sources.end(), s) != sources.end()) continue;
            AddComponentDataSource(s, CBSingle->Items());
            if (from) AddComponentDataSource(s, from);
        }
    if (to)
        for (TComponent* c : sources)
            if (auto* s = dynamic_cast<TChartSeries*>(c); s && s != FRemoving)
                to->AddObject(s->Title().IsEmpty() ? s->Name() : s->Title(), s);
    if (FSingle)
        if (auto* current = dynamic_cast<TChartSeries*>(FSeries->DataSource())) {
            CBSingle->Items()->AddObject(
                current->Title().IsEmpty() ? current->Name() : current->Title(), current);
        }
    CBSingle->SetItemIndex(CBSingle->Items()->IndexOfObject(FSeries->DataSource()));
    if (FPicker) FPicker->EnableButtons();
    SelectSingleValues();
}

void TTeeFuncEditor::SelectSingleValues() {
    auto guard = FBind.Guard();
    CBSingleChange(CBSingle);
    const AnsiString name = FSeries->MandatoryValues()->ValueSource();
    const int i = CBValues->Items()->IndexOf(name);
    CBValues->SetItemIndex(i >= 0 ? i : (CBValues->Items()->Count() > 0 ? 0 : -1));
}

void TTeeFuncEditor::CBSingleChange(TObject*) {
    if (!FBind.Loading()) BApply->SetEnabled(true);
    CBValues->Items()->Clear();
    const int i = CBSingle->ItemIndex();
    auto* s = i >= 0 ? static_cast<TChartSeries*>(CBSingle->Items()->Objects(i)) : nullptr;
    if (s)
        for (int v = 1; v < s->ValuesList()->Count(); ++v)
            CBValues->Items()->Add(s->ValuesList()->Get(v)->Name());
    CBValues->SetEnabled(s != nullptr);
    BNone->SetEnabled(s != nullptr);
    CBValues->SetItemIndex(CBValues->Items()->Count() > 0 ? 0 : -1);
}

void TTeeFuncEditor::BApplyClick(TObject*) {
    if (!FSeries) return;
    if (FOptions) {
        // The options' page may ask the user to apply what it holds.
        TCallOut held{this};
        FOptions->CloseQuery();
        if (held.Gone() || !FSeries) return;
    }
    // A series freed since the lists were filled reads empty there and is left out.
    std::vector<TChartSeries*> chosen;
    if (FSingle) {
        const int i = CBSingle->ItemIndex();
        if (i >= 0)
            if (auto* s = static_cast<TChartSeries*>(CBSingle->Items()->Objects(i)))
                chosen.push_back(s);
    } else if (FPicker) {
        TStrings* to = FPicker->ToList->Items();
        for (int i = 0; i < to->Count(); ++i)
            if (auto* s = static_cast<TChartSeries*>(to->Objects(i))) chosen.push_back(s);
    }
    // Every choice is checked before anything changes: a refused source (the
    // series itself, or one that depends on it) leaves the sources as they were.
    if (TCustomAxisPanel* chart = FSeries->ParentChart())
        for (TChartSeries* s : chosen) {
            if (!chart->IsValidDataSource(FSeries, s))
                throw ChartException(Format(TeeMsg_SeriesInvDataSource, {s->Name()}));
            FSeries->CheckOtherSeries(s);
        }
    {
        const TSeriesUpdate update(FSeries);
        if (FSingle) {
            CheckReplaceSource(chosen.empty() ? nullptr : chosen.front());
            const int v = CBValues->ItemIndex();
            FSeries->MandatoryValues()->SetValueSource(
                chosen.empty() || v < 0 ? AnsiString() : CBValues->Items()->Strings(v));
        } else if (chosen.empty()) {
            FSeries->SetDataSource(nullptr);
        } else {
            FSeries->RemoveAllLinkedSeries();
            const std::vector<TComponent*> old = FSeries->DataSources();
            for (TComponent* c : old)
                FSeries->RemoveDataSource(c);
            for (TChartSeries* s : chosen)
                FSeries->InternalAddDataSource(s);
        }
        const TClass cls = ChosenClass();
        if (cls && !FSeries->FunctionType()) CreateNewTeeFunction(FSeries, cls);
    }
    FSeries->CheckDataSource();
    if (TTeeFunction* f = FSeries->FunctionType()) f->ReCalculate();
    BApply->SetEnabled(false);
}

void TTeeFuncEditor::TeeEvent(TTeeEvent* Event) {
    if (IsDestroying()) return;
    auto* e = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (!e || (e->Event != seRemove && e->Event != seSwap)) return;
    if (FSeries.Is(e->Series)) {
        BApply->SetEnabled(false);
        return;
    }
    // The chart tells before the series leaves its list: never list it again.
    FRemoving = e->Event == seRemove ? e->Series : nullptr;
    FillSourceSeries();
    FRemoving = nullptr;
}
