#include "chart/editor/teeedisour.h"
#include "platform/classes/watched.h"

#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teengine.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/dialogs.h"
#include <algorithm>

QM_CLASS_OWNED(TBaseSourceEditor, TForm, TComponent)
QM_CLASS_OWNED(TSelectListForm, TForm, TComponent)

// ---------------------------------------------------------------------------
// TBaseSourceEditor

TBaseSourceEditor::TBaseSourceEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(380);
    SetClientHeight(200);
    SetAlign(alClient);
    Pan = TeeNew<TPanel>(this, this, "Pan", 0, 0, 380, 32);
    Pan->SetAlign(alTop);
    Pan->SetBevelOuter(bvNone);
    CBSources = TeeNewCombo(this, Pan, "CBSources", 80, 6, 170, {});
    LLabel = TeeNewLabel(this, Pan, "&Source:", 8, 10, CBSources);
    BApply = TeeNewButton(this, Pan, "BApply", "&Apply", 262, 4);
    BApply->SetEnabled(false);
    FBind.Index(CBSources, nullptr, [this](int) { CBSourcesChange(CBSources); });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TBaseSourceEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TChartSeries>();
    FBind.Load();
    BApply->SetEnabled(false);
}

void TBaseSourceEditor::CBSourcesChange(TObject*) {
    BApply->SetEnabled(true);
}

bool TBaseSourceEditor::IsValid(TComponent* AComponent) {
    return AComponent != nullptr;
}

bool TBaseSourceEditor::CloseQuery() {
    if (BApply->Enabled()) {
        TCallOut held{this};
        const int answer = MessageDlg(TeeMsg_SureToApply, mtConfirmation, mbYesNoCancel);
        if (held.Gone()) return false;
        switch (answer) {
        case mrYes:
            // A value the function or chart refuses is shown and keeps the form open.
            try {
                BApply->Click();
            } catch (const Exception&) {
                if (held.Gone())
                    Application->HandleException(nullptr);
                else
                    Application->HandleException(this);
                return false;
            }
            if (held.Gone() || BApply->Enabled()) return false;
            break;
        case mrNo:
            BApply->SetEnabled(false);
            break;
        default:
            return false;
        }
    }
    return TForm::CloseQuery();
}

bool TBaseSourceEditor::AddComponentDataSource(TComponent* AComponent, TStrings* AItems) {
    if (!AComponent || !FSeries || AItems->IndexOfObject(AComponent) >= 0) return false;
    auto* series = dynamic_cast<TChartSeries*>(AComponent);
    const auto& sources = FSeries->DataSources();
    if (!AllowRefusedSources && series &&
        std::find(sources.begin(), sources.end(), AComponent) != sources.end())
        return false;
    if (!IsValid(AComponent)) return false;
    if (!AllowRefusedSources) {
        TCustomAxisPanel* chart = FSeries->ParentChart();
        if (!chart || !chart->IsValidDataSource(FSeries, AComponent)) return false;
    }
    AnsiString text = series && !series->Title().IsEmpty() ? series->Title() : AComponent->Name();
    if (AComponent->Owner() != FSeries->Owner() && AComponent->Owner())
        text = AComponent->Owner()->Name() + "." + text;
    AItems->AddObject(text, AComponent);
    return true;
}

void TBaseSourceEditor::CheckReplaceSource(TComponent* NewSource) {
    if (!FSeries || FSeries->DataSource() == NewSource) return;
    // A feeding component that belongs to this series goes with the old choice.
    auto* old = dynamic_cast<TTeeSeriesSource*>(FSeries->DataSource());
    if (old && old->Owner() == FSeries) {
        FSeries->SetDataSource(nullptr);
        delete old;
    } else {
        FSeries->SetDataSource(nullptr);
    }
    auto* source = dynamic_cast<TTeeSeriesSource*>(NewSource);
    if (source && !source->Series()) source->SetSeries(FSeries);
    if (NewSource) FSeries->SetDataSource(NewSource);
}

// ---------------------------------------------------------------------------
// TSelectListForm

namespace {
// A small black arrow, up or down, on a background the button leaves out.
TBitBtn* NewArrowButton(TComponent* Owner, TWinControl* Parent, const char* Name, bool Up, int L,
                        int T) {
    auto* b = TeeNew<TBitBtn>(Owner, Parent, Name, L, T, 24, 22);
    TBitmap up, down;
    TeeLoadArrowBitmaps(&up, &down);
    b->SetGlyph(Up ? &up : &down);
    return b;
}
} // namespace

TSelectListForm::TSelectListForm(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(360);
    SetClientHeight(112);
    FromList = TeeNew<TListBox>(this, this, "FromList", 8, 18, 136, 90);
    TeeNewLabel(this, this, "A&vailable:", 8, 2, FromList);
    ToList = TeeNew<TListBox>(this, this, "ToList", 190, 18, 136, 90);
    TeeNewLabel(this, this, "&Selected: ", 190, 2, ToList);
    FromList->SetMultiSelect(true);
    ToList->SetMultiSelect(true);
    BRightOne = TeeNewButton(this, this, "BRightOne", ">", 151, 18, 32, 21);
    BRightAll = TeeNewButton(this, this, "BRightAll", ">>", 151, 41, 32, 21);
    BLeftOne = TeeNewButton(this, this, "BLeftOne", "<", 151, 64, 32, 21);
    BLeftAll = TeeNewButton(this, this, "BLeftAll", "<<", 151, 87, 32, 21);
    BMoveUP = NewArrowButton(this, this, "BMoveUP", true, 331, 30);
    BMoveDown = NewArrowButton(this, this, "BMoveDown", false, 331, 58);
    BRightOne->OnClick = [this](TObject*) {
        MoveList(FromList, ToList);
        Changed();
    };
    BRightAll->OnClick = [this](TObject*) {
        MoveListAll(FromList, ToList);
        Changed();
    };
    BLeftOne->OnClick = [this](TObject*) {
        MoveList(ToList, FromList);
        Changed();
    };
    BLeftAll->OnClick = [this](TObject*) {
        MoveListAll(ToList, FromList);
        Changed();
    };
    FromList->OnDblClick = [this](TObject*) { MoveOne(FromList, ToList); };
    ToList->OnDblClick = [this](TObject*) { MoveOne(ToList, FromList); };
    ToList->OnClick = [this](TObject*) { EnableButtons(); };
    FromList->OnClick = [this](TObject*) { EnableButtons(); };
    BMoveUP->OnClick = [this](TObject*) { Move(-1); };
    BMoveDown->OnClick = [this](TObject*) { Move(1); };
    EnableButtons();
}

// A double click moves the row under the caret.
void TSelectListForm::MoveOne(TListBox* From, TListBox* To) {
    const int i = From->ItemIndex();
    if (i < 0 || i >= From->Items()->Count()) return;
    To->Items()->AddItemOf(From->Items(), i);
    From->Items()->Delete(i);
    Changed();
}

void TSelectListForm::Move(int Delta) {
    const int i = ToList->ItemIndex();
    const int j = i + Delta;
    if (i < 0 || j < 0 || j >= ToList->Items()->Count()) return;
    ToList->Items()->Exchange(i, j);
    ToList->SetItemIndex(j);
    Changed();
}

void TSelectListForm::EnableButtons() {
    const int from = FromList->Items()->Count();
    const int to = ToList->Items()->Count();
    BRightOne->SetEnabled(from > 0);
    BRightAll->SetEnabled(from > 0);
    BLeftOne->SetEnabled(to > 0);
    BLeftAll->SetEnabled(to > 0);
    const int i = ToList->ItemIndex();
    BMoveUP->SetEnabled(i > 0 && i < to);
    BMoveDown->SetEnabled(i >= 0 && i < to - 1);
}

void TSelectListForm::Changed() {
    EnableButtons();
    if (OnChange) OnChange(this);
}
