#pragma once
// Menus: shortcut codes and their texts, TMenuItem (caption with '&', shortcut,
// Visible, Enabled, Checked, RadioItem groups, sub-items), TMenu with shortcut
// lookup, TMainMenu (the menu bar of a form) and TPopupMenu.
#include "platform/forms/controls.h"
#include <memory>
#include <vector>

class QAction;
class QMenu;

// Key code in the low byte, scShift/scCtrl/scAlt in the high bits.
using TShortCut = WORD;
constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+X", "Shift+F2", "Del"; empty for scNone.
AnsiString ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText; scNone for text it does not know.
TShortCut TextToShortCut(const AnsiString& Text);

class TMenu;

class TMenuItem : public TComponent {
    QM_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // "-" makes the item a separator line.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(TMenuItem* Item) const;
    // The first sub-item with this caption ('&' ignored), or nullptr.
    TMenuItem* Find(const AnsiString& ACaption) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const { return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1; }
    // The menu this item belongs to (through its parents), or nullptr.
    TMenu* GetParentMenu() const;

    // Runs OnClick when the item is enabled (toggling Checked for AutoCheck items).
    virtual void Click();

    QAction* Action() const { return FAction; }
    // The drop-down of an item with sub-items, made when first asked for.
    QMenu* SubMenu() const;

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    void UpdateAction();
    void TurnSiblingsOff();
    void StructureChanged();
    void MakeSubMenu();

    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    AnsiString FHint;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
    QAction* FAction = nullptr;
    std::unique_ptr<QMenu> FSubMenu;
};

class TMenu : public TComponent {
    QM_CLASS(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root item whose sub-items are the menu's items.
    TMenuItem* Items() const { return FItems.get(); }
    // The first enabled item with the shortcut, or nullptr.
    TMenuItem* FindShortCut(TShortCut Value) const;
    // Clicks the item with the shortcut; true when one was found.
    bool IsShortCut(TShortCut Value);

protected:
    friend class TMenuItem;
    virtual void ItemsChanged() {}

private:
    std::unique_ptr<TMenuItem> FItems;
};

class TMainMenu : public TMenu {
    QM_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

protected:
    void ItemsChanged() override;
};

class TPopupMenu : public TMenu {
    QM_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // Runs OnPopup and shows the menu at a screen point (headless runs only count
    // the pop-up; scripts then click the items). It closes as nothing chosen
    // when the menu, its pop-up component or the active form goes meanwhile.
    virtual void Popup(int X, int Y);
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    int PopupCount() const { return FPopupCount; }
    QMenu* Menu() const { return FMenu.get(); }

    TNotifyEvent OnPopup;

protected:
    void ItemsChanged() override;

private:
    bool FAutoPopup = true;
    TWatched<TComponent> FPopupComponent;
    int FPopupCount = 0;
    // Shared with a Popup running its loop: a handler may free this menu.
    std::shared_ptr<QMenu> FMenu;
};
