#include "chart/editor/teeedititl.h"

#include "chart/control/chart.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teeshapeedit.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TFormTeeTitle, TForm, TComponent)

namespace {
const TAlignment Alignments[] = {taLeftJustify, taCenter, taRightJustify};
int AlignIndex(TAlignment A) {
    return A == taLeftJustify ? 0 : A == taRightJustify ? 2 : 1;
}
bool SameLines(TStrings* A, TStrings* B) {
    if (A->Count() != B->Count()) return false;
    for (int i = 0; i < A->Count(); ++i)
        if (A->Strings(i) != B->Strings(i)) return false;
    return true;
}
} // namespace

TFormTeeTitle::TFormTeeTitle(TComponent* AOwner, TCustomChart* AChart, TChartTitle* ATitle)
    : TForm(AOwner), FChart(AChart), FTitle(ATitle) {
    SetCaption("Titles");
    SetClientWidth(390);
    SetClientHeight(240);
    CBTitles =
        TeeNewCombo(this, this, "CBTitles", 8, 4, 120, {"Title", "SubTitle", "SubFoot", "Foot"});
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 30, 390, 210);
    PageControl1->SetAnchors({akLeft, akTop, akRight, akBottom});
    TabStyle = TeeNewTab(PageControl1, "TabStyle", "Style");
    TabPosition = TeeNewTab(PageControl1, "TabPosition", "Position");
    PageControl1->SetActivePage(TabStyle);

    TWinControl* s = TabStyle;
    CBVisible = TeeNewCheck(this, s, "CBVisible", "&Visible", 8, 8, 100);
    CBAdjust = TeeNewCheck(this, s, "CBAdjust", "&Adjust Frame", 8, 30, 100);
    RGAlign = TeeNewRadio(this, s, "RGAlign", "Alignment:", 8, 56, 100, 84,
                          {"&Left", "&Center", "&Right"});
    MText = TeeNew<TMemo>(this, s, "MText", 120, 24, 254, 150);
    MText->SetWordWrap(false);
    MText->SetWantTabs(true);
    MText->SetScrollBars(ssBoth);
    TeeNewLabel(this, s, "&Text:", 120, 6, MText);

    TWinControl* p = TabPosition;
    CBCustPos = TeeNewCheck(this, p, "CBCustPos", "&Custom:", 8, 8, 100);
    UDLeft = TeeNewUpDown(this, p, "ECustLeft", "UDLeft", 60, 34, 50, -1000, 1000, &ECustLeft, 5);
    TeeNewLabel(this, p, "L&eft:", 16, 38, ECustLeft);
    UDTop = TeeNewUpDown(this, p, "ECustTop", "UDTop", 60, 62, 50, -1000, 1000, &ECustTop, 5);
    TeeNewLabel(this, p, "T&op:", 16, 66, ECustTop);

    CBTitles->OnChange = [this](TObject* s) { CBTitlesChange(s); };
    FBind.Check(
        CBVisible, [this] { return FTitle->Visible(); }, [this](bool V) { FTitle->SetVisible(V); });
    FBind.Check(
        CBAdjust, [this] { return FTitle->AdjustFrame(); },
        [this](bool V) { FTitle->SetAdjustFrame(V); });
    FBind.Index(
        RGAlign, [this] { return AlignIndex(FTitle->Alignment()); },
        [this](int I) { FTitle->SetAlignment(Alignments[I]); });
    MText->OnChange = [this](TObject*) {
        // Rewriting equal lines would repaint and mark the chart changed for nothing.
        if (!FBind.Loading() && FTitle && !SameLines(FTitle->Text(), MText->Lines()))
            FTitle->SetText(MText->Lines());
    };
    FBind.Check(
        CBCustPos, [this] { return FTitle->CustomPosition(); },
        [this](bool V) {
            FTitle->SetCustomPosition(V);
            if (FTitle->CustomPosition()) {
                auto guard = FBind.Guard();
                UDLeft->SetPosition(FTitle->Left());
                UDTop->SetPosition(FTitle->Top());
            }
            EnablePosition();
        });
    FBind.UpDown(
        UDLeft, [this] { return FTitle->Left(); },
        [this](int V) {
            if (V != FTitle->Left()) FTitle->SetLeft(V);
        });
    FBind.UpDown(
        UDTop, [this] { return FTitle->Top(); },
        [this](int V) {
            if (V != FTitle->Top()) FTitle->SetTop(V);
        });
    OnShow = [this](TObject* s) { FormShow(s); };
}

TChartTitle* TFormTeeTitle::TitleAt(int Index) const {
    switch (Index) {
    case 0:
        return FChart->Title();
    case 1:
        return FChart->SubTitle();
    case 2:
        return FChart->SubFoot();
    default:
        return FChart->Foot();
    }
}

void TFormTeeTitle::FormShow(TObject*) {
    if (!FTitle) {
        // Docked by the editor window: the subject is the title, whose panel is the chart.
        FTitle = SubjectAs<TChartTitle>();
    }
    if (!FChart && FTitle) FChart = dynamic_cast<TCustomChart*>(FTitle->ParentChart());
    if (!FChart) return;
    SelectTitle(FTitle ? FTitle.Get() : FChart->Title());
}

void TFormTeeTitle::SelectTitle(TChartTitle* ATitle) {
    if (!FChart || !ATitle) return;
    FTitle = ATitle;
    int index = 3;
    if (FTitle == FChart->Title())
        index = 0;
    else if (FTitle == FChart->SubTitle())
        index = 1;
    else if (FTitle == FChart->SubFoot())
        index = 2;
    {
        auto guard = FBind.Guard();
        CBTitles->SetItemIndex(index);
    }
    LoadTitle();
}

void TFormTeeTitle::CBTitlesChange(TObject*) {
    if (FBind.Loading() || !FChart || CBTitles->ItemIndex() < 0) return;
    FTitle = TitleAt(CBTitles->ItemIndex());
    LoadTitle();
}

void TFormTeeTitle::LoadTitle() {
    if (!FTitle) return;
    FBind.Load();
    auto guard = FBind.Guard();
    MText->Lines()->Assign(FTitle->Text());
    EnablePosition();
    if (!FShape)
        FShape = InsertTeeObjectForm(PageControl1, FTitle);
    else
        FShape->RefreshControls(FTitle);
}

void TFormTeeTitle::EnablePosition() {
    const bool on = CBCustPos->Checked();
    for (TControl* c : std::initializer_list<TControl*>{ECustLeft, UDLeft, ECustTop, UDTop})
        c->SetEnabled(on);
}
