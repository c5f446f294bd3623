#include "chart/editor/teeedittools.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teetoolicon.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/modalwatch.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/format.h"
#include <memory>

QM_CLASS_OWNED(TFormTeeTools, TForm, TComponent)
QM_CLASS_OWNED(TTeeToolsGallery, TForm, TComponent)

namespace {
// A throw-away instance of a tool class, for its description and kind.
std::unique_ptr<TTeeCustomTool> TemporaryTool(TClass AClass) {
    if (!AClass || !AClass->Factory) return nullptr;
    return std::unique_ptr<TTeeCustomTool>(dynamic_cast<TTeeCustomTool*>(AClass->Factory(nullptr)));
}
} // namespace

void TeeDrawTool(TListBox* AList, int Index, const TRect& Rect, bool Selected,
                 TTeeCustomTool* ATool) {
    TCanvas* c = AList->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Selected ? clHighlight : AList->Color());
    c->FillRect(Rect);
    if (ATool) TeeDrawToolIcon(ATool->ClassType(), c, Rect.Left + 2, Rect.Top + 1);
    c->Font()->Assign(AList->Font());
    c->Font()->SetColor(Selected ? clHighlightText : AList->Font()->Color());
    c->Brush()->SetStyle(bsClear);
    c->TextOut(Rect.Left + 22, Rect.Top + 2,
               ATool ? ATool->Description() : AList->Items()->Strings(Index));
    c->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Tools page

TFormTeeTools::TFormTeeTools(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormTeeTools");
    SetClientWidth(396);
    SetClientHeight(262);
    PTop = NewControl<TPanel>(this, this, "PTop", 0, 0, 396, 33);
    PTop->SetAlign(alTop);
    PTop->SetBevelOuter(bvNone);
    BAdd = NewControl<TButton>(this, PTop, "BAdd", 4, 4, 75, 25, "&Add...");
    BDelete = NewControl<TButton>(this, PTop, "BDelete", 84, 4, 75, 25, "&Delete");
    CBActive = NewControl<TCheckBox>(this, PTop, "CBActive", 168, 8, 70, 17, "A&ctive");
    BMoveUp = NewControl<TSpeedButton>(this, PTop, "BMoveUp", 340, 4, 25, 25);
    BMoveUp->SetFlat(true);
    BMoveUp->SetCaption("^");
    BMoveDown = NewControl<TSpeedButton>(this, PTop, "BMoveDown", 366, 4, 25, 25);
    BMoveDown->SetFlat(true);
    BMoveDown->SetCaption("v");
    PBottom = NewControl<TPanel>(this, this, "PBottom", 0, 242, 396, 20);
    PBottom->SetAlign(alBottom);
    PBottom->Hide();
    LBTools = NewControl<TListBox>(this, this, "LBTools", 0, 33, 130, 209);
    LBTools->SetAlign(alLeft);
    LBTools->SetStyle(lbOwnerDrawFixed);
    LBTools->SetItemHeight(18);
    FToolItems = new TListedObjects(this, LBTools);
    FToolItems->OnDropped = [this](TObject*) { ToolsDropped(); };
    LBTools->OnDrawItem = [this](TWinControl*, int I, TRect R, TOwnerDrawState S) {
        TeeDrawTool(LBTools, I, R, S.Contains(odSelected), ToolAt(I));
    };
    Panel1 = NewControl<TPanel>(this, this, "Panel1", 130, 33, 266, 209);
    Panel1->SetAlign(alClient);
    Panel1->SetBevelOuter(bvLowered);
    LBTools->OnClick = [this](TObject* s) { LBToolsClick(s); };
    BAdd->OnClick = [this](TObject* s) { BAddClick(s); };
    BDelete->OnClick = [this](TObject* s) { BDeleteClick(s); };
    FBind.Check(
        CBActive, [this] { return CurrentTool() && CurrentTool()->Active(); },
        [this](bool v) { CurrentTool()->SetActive(v); });
    BMoveUp->OnClick = [this](TObject*) {
        SwapTool(LBTools->ItemIndex(), LBTools->ItemIndex() - 1);
    };
    BMoveDown->OnClick = [this](TObject*) {
        SwapTool(LBTools->ItemIndex(), LBTools->ItemIndex() + 1);
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TCustomChart* TFormTeeTools::Chart() const {
    return SubjectAs<TCustomChart>();
}

TTeeCustomTool* TFormTeeTools::CurrentTool() const {
    return ToolAt(LBTools->ItemIndex());
}

TTeeCustomTool* TFormTeeTools::ToolAt(int Row) const {
    return dynamic_cast<TTeeCustomTool*>(FToolItems->Object(Row));
}

int TFormTeeTools::RowOf(const TTeeCustomTool* ATool) const {
    return ATool ? FToolItems->IndexOf(ATool) : -1;
}

void TFormTeeTools::ToolsDropped() {
    // Hidden, not freed: a handler of the form may be running (a dialog it
    // showed, an animation it plays). The next choice frees it.
    if (FToolForm && FFormTool.Gone()) FToolForm->Hide();
    BDelete->SetEnabled(FToolItems->Count() > 0);
    CBActive->SetEnabled(BDelete->Enabled());
    FBind.Load();
    UpdateMoveButtons();
}

void TFormTeeTools::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FToolForm) FToolForm = nullptr;
}

void TFormTeeTools::FreeToolForm() {
    if (!FToolForm) return;
    TCustomForm* form = FToolForm;
    FToolForm = nullptr;
    FFormTool = nullptr;
    delete form;
}

void TFormTeeTools::FormShow(TObject*) {
    TCustomChart* chart = Chart();
    PBottom->SetVisible(chart && chart->ComponentState().Contains(csDesigning));
    FillTools();
    if (LBTools->Items()->Count() > 0) {
        LBTools->SetItemIndex(0);
        LBToolsClick(LBTools);
    } else {
        UpdateMoveButtons();
    }
    TeeTranslateControl(this);
}

void TFormTeeTools::FillTools() {
    PBottom->SetCaption("");
    FToolItems->Clear();
    TCustomChart* chart = Chart();
    if (chart)
        for (int i = 0; i < chart->Tools()->Count(); ++i) {
            TTeeCustomTool* t = chart->Tools()->Get(i);
            FToolItems->Add(t->Description(), t);
        }
    BDelete->SetEnabled(chart && chart->Tools()->Count() > 0);
    CBActive->SetEnabled(BDelete->Enabled());
}

void TFormTeeTools::LBToolsClick(TObject*) {
    TTeeCustomTool* t = CurrentTool();
    FreeToolForm();
    if (t) {
        FBind.Load();
        if (TCustomForm* form = TeeCreateFormByClass(GetClass(t->GetEditorClass()), this)) {
            FToolForm = form;
            FFormTool = t;
            form->FreeNotification(this);
            TeeTranslateControl(form);
            form->SetAlign(alClient);
            AddFormTo(form, Panel1, t);
            TeeWidenForTabs(form);
        }
        if (PBottom->Visible()) PBottom->SetCaption(t->Name());
    }
    UpdateMoveButtons();
}

void TFormTeeTools::UpdateMoveButtons() {
    const int i = LBTools->ItemIndex();
    BMoveUp->SetEnabled(i > 0);
    BMoveDown->SetEnabled(i >= 0 && i < LBTools->Items()->Count() - 1);
}

void TFormTeeTools::BAddClick(TObject*) {
    TCustomChart* chart = Chart();
    if (!chart) return;
    TTeeToolsGallery gallery(nullptr);
    gallery.SetPosition(poOwnerFormCenter);
    if (!ShowModalWatching(&gallery, {chart, this}).Ok()) return;
    TClass toolClass = gallery.SelectedTool();
    if (!toolClass || !toolClass->Factory) return;
    bool chartOwnsTools = false;
    for (int i = 0; i < chart->Tools()->Count(); ++i)
        if (chart->Tools()->Get(i)->Owner() == chart) chartOwnsTools = true;
    TComponent* owner = chartOwnsTools || !chart->Owner() ? chart : chart->Owner();
    auto* tool = dynamic_cast<TTeeCustomTool*>(toolClass->Factory(owner));
    if (!tool) return;
    tool->SetParentChart(chart);
    tool->SetName(TeeGetUniqueName(owner, "ChartTool"));
    FillTools();
    LBTools->SetItemIndex(LBTools->Items()->Count() - 1);
    LBToolsClick(LBTools);
}

void TFormTeeTools::BDeleteClick(TObject*) {
    const TWatched<TTeeCustomTool> t = CurrentTool();
    if (!t) return;
    // The tool, this page or the editor may go while the question is open.
    TCallOut held{this};
    const bool sure = MessageDlg(Format(TeeMsg_SureToDelete, {t->Description()}), mtConfirmation,
                                 {mbYes, mbNo}) == mrYes;
    if (held.Gone() || !t || !sure) return;
    const int old = LBTools->ItemIndex();
    FreeToolForm();
    TComponent::Free(t);
    FillTools();
    const int count = LBTools->Items()->Count();
    LBTools->SetItemIndex(old <= 1 ? count - 1 : old - 1);
    BDelete->SetEnabled(LBTools->ItemIndex() >= 0);
    if (LBTools->ItemIndex() >= 0)
        LBToolsClick(LBTools);
    else
        UpdateMoveButtons();
}

void TFormTeeTools::SwapTool(int A, int B) {
    TCustomChart* chart = Chart();
    const int count = LBTools->Items()->Count();
    if (!chart || A < 0 || B < 0 || A >= count || B >= count || A == B) return;
    TTeeCustomTool* ta = ToolAt(A);
    TTeeCustomTool* tb = ToolAt(B);
    if (!ta || !tb) return;
    FToolItems->Exchange(A, B);
    chart->Tools()->Exchange(A, B);
    if (ta->Owner() && ta->Owner() == tb->Owner()) {
        const int ia = ta->ComponentIndex();
        ta->SetComponentIndex(tb->ComponentIndex());
        tb->SetComponentIndex(ia);
    }
    LBTools->SetItemIndex(B);
    chart->Repaint();
    UpdateMoveButtons();
}

void TFormTeeTools::Reload() {
    TCustomChart* chart = Chart();
    if (chart && LBTools->Items()->Count() != chart->Tools()->Count()) {
        FillTools();
        if (LBTools->Items()->Count() > 0 && LBTools->ItemIndex() < 0) LBTools->SetItemIndex(0);
    }
    LBToolsClick(LBTools);
}

// ---------------------------------------------------------------------------
// Tools gallery

TTeeToolsGallery::TTeeToolsGallery(TComponent* AOwner) : TForm(AOwner) {
    SetName("TeeToolsGallery");
    SetCaption("Chart Tools Gallery");
    SetPosition(poScreenCenter);
    SetBorderIcons({biSystemMenu});
    SetClientWidth(300);
    SetClientHeight(280);
    auto* bottom = NewControl<TPanel>(this, this, "Panel1", 0, 246, 300, 34);
    bottom->SetAlign(alBottom);
    bottom->SetBevelOuter(bvNone);
    BOk = NewControl<TButton>(this, bottom, "BOk", 136, 4, 75, 25, "&Add");
    BOk->SetDefault(true);
    BOk->SetModalResult(mrOk);
    BCan = NewControl<TButton>(this, bottom, "BCan", 218, 4, 75, 25, "Cancel");
    BCan->SetCancel(true);
    BCan->SetModalResult(mrCancel);
    TabControl1 = NewControl<TTabControl>(this, this, "TabControl1", 0, 0, 300, 246);
    TabControl1->SetAlign(alClient);
    LBTool = NewControl<TListBox>(this, TabControl1, "LBTool", 4, 4, 292, 214);
    LBTool->SetAlign(alClient);
    LBTool->SetSorted(true);
    LBTool->SetStyle(lbOwnerDrawFixed);
    LBTool->SetItemHeight(18);
    LBTool->OnDrawItem = [this](TWinControl*, int I, TRect R, TOwnerDrawState S) {
        auto tool = TemporaryTool(reinterpret_cast<TClass>(LBTool->Items()->Objects(I)));
        TeeDrawTool(LBTool, I, R, S.Contains(odSelected), tool.get());
    };
    LBTool->OnDblClick = [this](TObject*) {
        if (SelectedTool()) SetModalResult(mrOk);
    };
    TabControl1->OnChange = [this](TObject*) { FillList(); };
    OnShow = [this](TObject*) {
        TStrings* tabs = TabControl1->Tabs();
        tabs->Clear();
        for (const char* t : {"Series", "Axis", "Other"})
            tabs->Add(t);
        TabControl1->SetTabIndex(0);
        FillList();
    };
}

void TTeeToolsGallery::FillList() {
    LBTool->Items()->Clear();
    const int tab = TabControl1->TabIndex();
    const TTeeToolTypes& types = TeeToolTypes();
    for (int i = 0; i < types.Count(); ++i) {
        TClass c = types[i];
        const int kind = c->InheritsFrom(&TTeeCustomToolSeries::ClassInfo) ? 0
                         : c->InheritsFrom(&TTeeCustomToolAxis::ClassInfo) ? 1
                                                                           : 2;
        if (kind != tab) continue;
        auto tool = TemporaryTool(c);
        if (!tool) continue;
        // The list holds class information, which lives as long as the program.
        LBTool->Items()->AddObject(tool->Description(),
                                   reinterpret_cast<TObject*>(const_cast<TClassInfo*>(c)));
    }
    if (LBTool->Items()->Count() > 0) LBTool->SetItemIndex(0);
}

TClass TTeeToolsGallery::SelectedTool() const {
    const int i = LBTool->ItemIndex();
    return i >= 0 ? reinterpret_cast<TClass>(LBTool->Items()->Objects(i)) : nullptr;
}
