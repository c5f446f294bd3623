#pragma once
// A bar of nine flat buttons (first, prior, next, last, insert, delete, edit,
// post, cancel) that moves through and edits something else; descendants
// decide what a click does and which buttons are enabled.
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include <array>
#include <functional>
#include <memory>

class TStringList;
class TTimer;

enum TTeeNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel
};
constexpr int TeeNavButtonCount = 9;

class TTeeNavButton : public TSpeedButton {
    QM_CLASS(TTeeNavButton)
public:
    explicit TTeeNavButton(TComponent* AOwner);
    TTeeNavigateBtn Index = nbFirst;
    // The auto-repeat timer, made on the first press.
    TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void TimerExpired();
    TTimer* FRepeatTimer = nullptr;
    bool FHeld = false;
};

class TCustomTeeNavigator : public TCustomPanel, public ITeeEventListener {
    QM_CLASS(TCustomTeeNavigator)
public:
    explicit TCustomTeeNavigator(TComponent* AOwner);
    ~TCustomTeeNavigator() override;
    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TTeeNavButton* Buttons(TTeeNavigateBtn Index) const { return FButtons[Index]; }
    TStringList* Hints() const { return FHints.get(); }
    TCustomTeePanel* Panel() const { return FPanel; }
    void SetPanel(TCustomTeePanel* Value);
    int FocusedButton() const { return FFocusedButton; }
    int ButtonWidth() const { return FButtonWidth; }

    virtual void InitButtons();
    virtual void EnableButtons() {}
    virtual int PageCount() { return 1; }
    virtual void Print() {}
    void InitHints();
    // A click of button Index: the descendant's action, EnableButtons, then
    // OnButtonClicked.
    void BtnClick(int Index);

    void TeeEvent(TTeeEvent* Event) override { DoTeeEvent(Event); }

    std::function<void(TObject* Sender, TTeeNavigateBtn Index)> OnButtonClicked;

protected:
    friend class TTeeNavButton;
    virtual void DoTeeEvent(TTeeEvent*) {}
    virtual void BtnClick(TTeeNavigateBtn) {}
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Set to this panel, which a free notification names while it goes.
    bool PanelIs(const TComponent* AComponent) const { return FPanel.Is(AComponent); }
    void KeyDown(WORD& Key, TShiftState Shift) override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    void EnabledChanged() override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void ButtonMouseDown(TTeeNavButton* Button);

private:
    void LayoutButtons();
    std::array<TTeeNavButton*, TeeNavButtonCount> FButtons{};
    std::unique_ptr<TStringList> FHints;
    std::unique_ptr<TStringList> FDefHints;
    TWatched<TCustomTeePanel> FPanel;
    int FFocusedButton = 0;
    int FButtonWidth = 20;
    bool FLayingOut = false;
};
