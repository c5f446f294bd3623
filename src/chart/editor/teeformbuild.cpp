#include "chart/editor/teeformbuild.h"
#include "platform/rtl/sysutils.h"

#include "platform/classes/stringlist.h"
#include "platform/forms/forms.h"
#include <algorithm>

TLabel* TeeNewLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Caption, int L, int T,
                    TWinControl* Focus) {
    auto* l = new TLabel(Owner);
    l->SetParent(Parent);
    l->SetLeft(L);
    l->SetTop(T);
    l->SetCaption(Caption);
    if (Focus) l->SetFocusControl(Focus);
    return l;
}

TCheckBox* TeeNewCheck(TComponent* Owner, TWinControl* Parent, const char* Name,
                       const AnsiString& Caption, int L, int T, int W) {
    auto* c = TeeNew<TCheckBox>(Owner, Parent, Name, L, T, W, 17);
    c->SetCaption(Caption);
    return c;
}

TComboFlat* TeeNewCombo(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T,
                        int W, std::initializer_list<const char*> Items) {
    auto* c = TeeNew<TComboFlat>(Owner, Parent, Name, L, T, W, 21);
    c->SetStyle(csDropDownList);
    for (const char* s : Items)
        c->Items()->Add(s);
    return c;
}

TUpDown* TeeNewUpDown(TComponent* Owner, TWinControl* Parent, const char* EditName,
                      const char* UpDownName, int L, int T, int W, int Min, int Max, TEdit** Edit,
                      int Step) {
    auto* e = TeeNew<TNumberEdit>(Owner, Parent, EditName, L, T, W, 21);
    auto* u = TeeNew<TUpDown>(Owner, Parent, UpDownName, L + W, T, 15, 21);
    u->SetMin(Min);
    u->SetMax(Max);
    u->SetIncrement(Step);
    u->SetAssociate(e);
    e->SetUpDown(u);
    TeeFitToRange(u);
    if (Edit) *Edit = e;
    return u;
}

void TeeFitToRange(TUpDown* U) {
    auto* e = dynamic_cast<TNumberEdit*>(U->Associate());
    if (!e) return;
    // The field grows to the right, its up-down beside it, until both ends of
    // the range show whole: a clipped "32,000" would read as "2,000".
    int need = e->Width();
    for (const int bound : {U->Min(), U->Max()})
        need = std::max(need, e->WidthForText(e->WholeText(bound)));
    const int more = need - e->Width();
    if (more <= 0) return;
    e->SetWidth(need);
    U->SetLeft(U->Left() + more);
}

TNumberEdit* TeeNewNumber(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T,
                          int W) {
    return TeeNew<TNumberEdit>(Owner, Parent, Name, L, T, W, 21);
}

TRadioGroup* TeeNewRadio(TComponent* Owner, TWinControl* Parent, const char* Name,
                         const AnsiString& Caption, int L, int T, int W, int H,
                         std::initializer_list<const char*> Items) {
    auto* r = TeeNew<TRadioGroup>(Owner, Parent, Name, L, T, W, H);
    r->SetCaption(Caption);
    for (const char* s : Items)
        r->Items()->Add(s);
    return r;
}

TTabSheet* TeeNewTab(TPageControl* Pages, const char* Name, const AnsiString& Caption) {
    auto* t = new TTabSheet(Pages->Owner());
    t->SetName(Name);
    t->SetPageControl(Pages);
    t->SetCaption(Caption);
    return t;
}

namespace {
int TabsOverflow(TWinControl* Parent) {
    int most = 0;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(Parent->Controls(i));
        if (!c || !c->Showing()) continue;
        if (auto* pages = dynamic_cast<TPageControl*>(c))
            most = std::max(most, pages->TabsWidth() + 8 - pages->Width());
        most = std::max(most, TabsOverflow(c));
    }
    return most;
}
} // namespace

void TeeWidenForTabs(TWinControl* Root) {
    // The outermost window: docked forms grow with it.
    TCustomForm* window = Root ? GetParentForm(Root) : nullptr;
    if (!window) return;
    const int more = TabsOverflow(Root);
    if (more <= 0) return;
    const int width = std::min(window->Width() + more, std::max(window->Width(), Screen->Width()));
    window->SetWidth(width);
}

bool UpDownValue(TEdit* E, TUpDown* U, int& V) {
    if (!TryStrToInt(E->Text().Trim(), V)) return false;
    V = std::clamp(V, U->Min(), U->Max());
    return true;
}
