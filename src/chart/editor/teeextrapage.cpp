#include "chart/editor/teeextrapage.h"

#include "chart/engine/teeseries.h"
#include "chart/editor/teeediseri.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TTeeSeriesPage, TForm, TComponent)

TTeeSeriesPage::TTeeSeriesPage(TComponent* AOwner) : TForm(AOwner) {
    SetAlign(alClient);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TTeeSeriesPage::FormShow(TObject*) {
    FSeries = dynamic_cast<TChartSeries*>(TagObject());
    FFilling = true;
    struct TGuard {
        bool& Flag;
        ~TGuard() { Flag = false; }
    } guard{FFilling};
    if (FSeries) ShowSeries();
    if (FSeries && !FPagesAdded) {
        FPagesAdded = true;
        AddPages();
    }
}

void TTeeSeriesPage::OnCheck(TCheckBox* C, std::function<void(bool)> Set) {
    C->OnClick = [this, C, Set](TObject*) {
        if (CanWrite()) Set(C->Checked());
    };
}

void TTeeSeriesPage::OnUpDown(TUpDown* U, std::function<void(int)> Set) {
    auto* edit = dynamic_cast<TEdit*>(U->Associate());
    if (!edit) return;
    edit->OnChange = [this, U, edit, Set](TObject*) {
        int v;
        if (CanWrite() && Showing() && TryStrToInt(Trim(edit->Text()), v)) Set(U->Position());
    };
}

void TTeeSeriesPage::OnFloat(TEdit* E, std::function<void(double)> Set) {
    E->OnChange = [this, E, Set](TObject*) {
        double v;
        if (CanWrite() && Showing() && TryStrToFloat(Trim(E->Text()), v)) Set(v);
    };
}

void TTeeSeriesPage::OnIndex(TComboBox* C, std::function<void(int)> Set) {
    C->OnChange = [this, C, Set](TObject*) {
        if (CanWrite() && C->ItemIndex() >= 0) Set(C->ItemIndex());
    };
}

void TTeeSeriesPage::OnIndex(TRadioGroup* R, std::function<void(int)> Set) {
    R->OnClick = [this, R, Set](TObject*) {
        if (CanWrite() && R->ItemIndex() >= 0) Set(R->ItemIndex());
    };
}

TCustomForm* TTeeSeriesPage::InsertPage(const AnsiString& ClassName, const AnsiString& Caption,
                                        TObject* ATag, int Position) {
    auto* sheet = dynamic_cast<TTabSheet*>(Parent());
    TPageControl* pages = sheet ? sheet->PageControl() : nullptr;
    TClass cls = GetClass(ClassName);
    if (!pages || !cls) return nullptr;
    if (TFormTeeSeries* series = TeeSeriesPageOf(this))
        return series->InsertSeriesForm(cls, Position >= 0 ? Position : series->ExtraTabPosition(),
                                        Caption, ATag);
    TTabSheet* current = pages->ActivePage();
    auto* tab = new TTabSheet(this);
    tab->SetPageControl(pages);
    tab->SetCaption(Caption);
    if (Position >= 0 && Position < pages->PageCount()) tab->SetPageIndex(Position);
    TCustomForm* form = TeeCreateFormByClass(cls, tab);
    if (form) {
        form->SetAlign(alClient);
        AddFormTo(form, tab, ATag);
    }
    // Docking shows the new tab for a moment; the user stays where he was.
    pages->SetActivePage(current);
    return form;
}

void TeeHideNamed(TComponent* Form, std::initializer_list<const char*> Names) {
    for (const char* n : Names)
        if (auto* c = dynamic_cast<TControl*>(Form->FindComponent(n))) c->Hide();
}
