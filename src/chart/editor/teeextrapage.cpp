#include "chart/editor/teeextrapage.h"
#include "platform/classes/watched.h"

#include "chart/engine/teeseries.h"
#include "chart/editor/teeediseri.h"
#include "platform/rtl/sysutils.h"
#include <utility>

QM_CLASS_OWNED(TTeeSeriesPage, TForm, TComponent)

TTeeSeriesPage::TTeeSeriesPage(TComponent* AOwner) : TForm(AOwner) {
    SetAlign(alClient);
    OnShow = [this](TObject* s) { FormShow(s); };
    FBind.OnRefresh = [this] {
        if (FSeries) ShowSeries();
    };
}

void TTeeSeriesPage::FormShow(TObject*) {
    FSeries = SubjectAs<TChartSeries>();
    FBind.Load();
    auto guard = FBind.Guard();
    if (FSeries) {
        // A page's controls tell their handlers as they are set.
        TCallOut held{this};
        ShowSeries();
        if (held.Gone()) return guard.Disarm();
    }
    if (FSeries && !FPagesAdded) {
        FPagesAdded = true;
        AddPages();
    }
}

// ShowSeries reads the controls; the binder writes them back.
void TTeeSeriesPage::OnCheck(TCheckBox* C, std::function<void(bool)> Set) {
    FBind.Check(C, nullptr, std::move(Set));
}

void TTeeSeriesPage::OnUpDown(TUpDown* U, std::function<void(int)> Set) {
    FBind.UpDown(U, nullptr, [this, U, Set = std::move(Set)](int) {
        if (Showing()) Set(U->Position());
    });
}

void TTeeSeriesPage::OnFloat(TEdit* E, std::function<void(double)> Set) {
    FBind.Text(E, nullptr, [this, Set = std::move(Set)](const AnsiString& T) {
        double v;
        if (Showing() && TryStrToFloat(Trim(T), v)) Set(v);
    });
}

void TTeeSeriesPage::OnIndex(TComboBox* C, std::function<void(int)> Set) {
    FBind.Index(C, nullptr, std::move(Set));
}

void TTeeSeriesPage::OnIndex(TRadioGroup* R, std::function<void(int)> Set) {
    FBind.Index(R, nullptr, std::move(Set));
}

TCustomForm* TTeeSeriesPage::InsertPage(const AnsiString& ClassName, const AnsiString& Caption,
                                        TPersistent* ASubject, int Position) {
    auto* sheet = dynamic_cast<TTabSheet*>(Parent());
    TPageControl* pages = sheet ? sheet->PageControl() : nullptr;
    TClass cls = GetClass(ClassName);
    if (!pages || !cls) return nullptr;
    if (TFormTeeSeries* series = TeeSeriesPageOf(this))
        return series->InsertSeriesForm(cls, Position >= 0 ? Position : series->ExtraTabPosition(),
                                        Caption, ASubject);
    TTabSheet* current = pages->ActivePage();
    auto* tab = new TTabSheet(this);
    tab->SetPageControl(pages);
    tab->SetCaption(Caption);
    if (Position >= 0 && Position < pages->PageCount()) tab->SetPageIndex(Position);
    TCustomForm* form = TeeCreateFormByClass(cls, tab);
    if (form) {
        form->SetAlign(alClient);
        AddFormTo(form, tab, ASubject);
    }
    // Docking shows the new tab for a moment; the user stays where he was.
    pages->SetActivePage(current);
    return form;
}

void TeeHideNamed(TComponent* Form, std::initializer_list<const char*> Names) {
    for (const char* n : Names)
        if (auto* c = dynamic_cast<TControl*>(Form->FindComponent(n))) c->Hide();
}
