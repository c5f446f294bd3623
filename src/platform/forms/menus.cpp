// Menu items on Qt actions, shortcut texts, main and pop-up menus.
#include "platform/forms/menus.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/systemwindow.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QAction>
#include <QMenu>
#include <algorithm>

QM_CLASS_OWNED(TMenuItem, TComponent, TComponent)
QM_CLASS_ABSTRACT(TMenu, TComponent)
QM_CLASS_OWNED(TMainMenu, TMenu, TComponent)
QM_CLASS_OWNED(TPopupMenu, TMenu, TComponent)

// ---------------------------------------------------------------------------
// Shortcuts

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    TShortCut sc = Key & 0xFF;
    if (Shift.Contains(ssShift)) sc |= scShift;
    if (Shift.Contains(ssCtrl)) sc |= scCtrl;
    if (Shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = ShortCut & 0xFF;
    Shift.Clear();
    if (ShortCut & scShift) Shift << ssShift;
    if (ShortCut & scCtrl) Shift << ssCtrl;
    if (ShortCut & scAlt) Shift << ssAlt;
}

namespace {
struct TKeyName {
    WORD Key;
    const char* Name;
};
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

AnsiString KeyText(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(char(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + IntToStr(key - VK_F1 + 1);
    for (const TKeyName& k : KeyNames)
        if (k.Key == key) return k.Name;
    return AnsiString();
}
} // namespace

AnsiString ShortCutToText(TShortCut ShortCut) {
    const AnsiString name = KeyText(ShortCut & 0xFF);
    if (name.IsEmpty()) return AnsiString();
    AnsiString s;
    if (ShortCut & scShift) s += "Shift+";
    if (ShortCut & scCtrl) s += "Ctrl+";
    if (ShortCut & scAlt) s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const AnsiString& Text) {
    AnsiString rest = Text;
    TShortCut mods = 0;
    for (bool found = true; found;) {
        found = false;
        for (auto [prefix, bit] :
             {std::pair{"Shift+", scShift}, std::pair{"Ctrl+", scCtrl}, std::pair{"Alt+", scAlt}}) {
            const AnsiString p(prefix);
            if (rest.Length() > p.Length() && SameText(rest.SubString(1, p.Length()), p)) {
                mods |= bit;
                rest = rest.SubString(p.Length() + 1, rest.Length());
                found = true;
            }
        }
    }
    for (int key = 8; key <= 255; ++key) {
        const AnsiString name = KeyText(WORD(key));
        if (!name.IsEmpty() && SameText(name, rest)) return TShortCut(key | mods);
    }
    return scNone;
}

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    EnsureQtApplication();
    FAction = new QAction();
    ConnectSignal(FAction, &QAction::triggered, this,
                  [this] { RunAsMessage(this, [this] { Click(); }); });
}

TMenuItem::~TMenuItem() {
    Destroying();
    if (FParent) FParent->Remove(this);
    while (!FItems.empty())
        delete FItems.back();
    FAction->blockSignals(true);
    DisposeObject(FAction);
    FAction = nullptr;
    DisposeMenu(FSubMenu.release());
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (FMenu) {
        // Items on a menu bar or at the top of a pop-up show their drop-downs at once.
        if (!Item->FItems.empty()) Item->MakeSubMenu();
    } else if (FSubMenu) {
        QAction* before = Index + 1 < Count() ? FItems[size_t(Index) + 1]->FAction : nullptr;
        FSubMenu->insertAction(before, Item->FAction);
    } else if (FParent && FParent->FMenu) {
        MakeSubMenu();
    }
    StructureChanged();
}

// Deeper drop-downs are made as the one above them is about to show, so the
// many range items of a device menu cost nothing until someone opens it.
void TMenuItem::MakeSubMenu() {
    if (FSubMenu) return;
    FSubMenu = std::make_unique<QMenu>();
    for (TMenuItem* item : FItems)
        FSubMenu->addAction(item->FAction);
    FAction->setMenu(FSubMenu.get());
    ConnectSignal(FSubMenu.get(), &QMenu::aboutToShow, this, [this] {
        for (TMenuItem* item : FItems)
            if (!item->FItems.empty()) item->MakeSubMenu();
    });
}

QMenu* TMenuItem::SubMenu() const {
    if (!FItems.empty()) const_cast<TMenuItem*>(this)->MakeSubMenu();
    return FSubMenu.get();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
    if (FSubMenu && Item->FAction) FSubMenu->removeAction(Item->FAction);
    if (!IsDestroying()) StructureChanged();
}

void TMenuItem::Delete(int Index) {
    Remove(Items(Index));
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const {
    const AnsiString wanted = StripAccel(ACaption);
    for (TMenuItem* item : FItems)
        if (SameText(StripAccel(item->FCaption), wanted)) return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

void TMenuItem::StructureChanged() {
    if (FMenu) FMenu->ItemsChanged();
}

void TMenuItem::UpdateAction() {
    FAction->setSeparator(IsLine());
    QString text = QtCaption(FCaption);
    if (FShortCut != scNone) text += "\t" + AnsiToQString(ShortCutToText(FShortCut));
    FAction->setText(text);
    FAction->setCheckable(FChecked || FRadioItem || FAutoCheck);
    FAction->setChecked(FChecked);
    FAction->setEnabled(FEnabled);
    FAction->setVisible(FVisible);
}

void TMenuItem::SetCaption(const AnsiString& Value) {
    FCaption = Value;
    UpdateAction();
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) TurnSiblingsOff();
    UpdateAction();
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent) return;
    for (TMenuItem* item : FParent->FItems)
        if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex &&
            item->FChecked) {
            item->FChecked = false;
            item->UpdateAction();
        }
}

void TMenuItem::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateAction();
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    UpdateAction();
    if (FParent) FParent->StructureChanged();
}

void TMenuItem::SetRadioItem(bool Value) {
    FRadioItem = Value;
    if (Value && FChecked) TurnSiblingsOff();
    UpdateAction();
}

void TMenuItem::SetAutoCheck(bool Value) {
    FAutoCheck = Value;
    UpdateAction();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    FShortCut = Value;
    UpdateAction();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck)
        SetChecked(!FChecked || FRadioItem);
    else
        FAction->setChecked(FChecked); // Qt toggled it; the item decides
    if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------------------
// Menus

TMenu::TMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    Destroying();
    FItems.reset();
}

namespace {
TMenuItem* FindShortCutIn(TMenuItem* parent, TShortCut sc) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        // A disabled menu cannot be reached, so neither can its items.
        if (!item->Enabled()) continue;
        if (item->ShortCut() == sc) return item;
        if (TMenuItem* found = FindShortCutIn(item, sc)) return found;
    }
    return nullptr;
}
} // namespace

TMenuItem* TMenu::FindShortCut(TShortCut Value) const {
    if (Value == scNone) return nullptr;
    return FindShortCutIn(FItems.get(), Value);
}

bool TMenu::IsShortCut(TShortCut Value) {
    TMenuItem* item = FindShortCut(Value);
    if (!item) return false;
    item->Click();
    return true;
}

void TMainMenu::ItemsChanged() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Menu() == this) Screen->Forms(i)->MenuChanged();
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
    EnsureQtApplication();
    FMenu = std::make_shared<QMenu>();
}

TPopupMenu::~TPopupMenu() {
    Destroying();
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    FPopupComponent = Value;
}

void TPopupMenu::ItemsChanged() {
    FMenu->clear();
    for (int i = 0; i < Items()->Count(); ++i)
        FMenu->addAction(Items()->Items(i)->Action());
}

void TPopupMenu::Popup(int X, int Y) {
    ++FPopupCount;
    TCallOut held{this};
    if (OnPopup) OnPopup(this);
    if (held.Gone()) return;
    if (IsHeadless() && !SystemWindowsDriven()) return;
    // Held here: the menu is freed once its loop has returned, whoever frees this.
    const std::shared_ptr<QMenu> menu = FMenu;
    TSystemWindowScope shown(TDialogKind::PopupMenu, nullptr, {this, FPopupComponent.Get()});
    shown.Run(menu.get(), [&] {
        menu->exec(QPoint(X, Y));
        return 0;
    });
}
