#include "chart/editor/teenavigator.h"

#include "platform/classes/props.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/forms.h"
#include "platform/graphics/graphics.h"
#include <algorithm>

QM_CLASS_OWNED(TTeeNavButton, TSpeedButton, TComponent)
QM_CLASS_OWNED(TCustomTeeNavigator, TCustomPanel, TComponent)

// The buttons cover the bar: it hears the mouse only through them.
QM_PUBLISHED(TCustomTeeNavigator, Prop("OnButtonClicked", &Self::OnButtonClicked),
             Prop("OnEnter", &Self::OnEnter), Prop("OnExit", &Self::OnExit),
             Prop("OnKeyDown", &Self::OnKeyDown), Prop("OnKeyPress", &Self::OnKeyPress),
             Prop("OnKeyUp", &Self::OnKeyUp));

namespace {

constexpr int MinBtnWidth = 20;
constexpr int MinBtnHeight = 18;
constexpr unsigned InitRepeatPause = 400;
constexpr unsigned RepeatPause = 100;
const char* const DefaultHints[TeeNavButtonCount] = {"First",  "Prior", "Next", "Last",  "Insert",
                                                     "Delete", "Edit",  "Post", "Cancel"};

// The glyph strip of a button: the normal and the disabled picture, 11 pixels
// square each, drawn from a few shapes so no resource file is needed.
void DrawShape(TCanvas* C, TTeeNavigateBtn Index, int Offset, TColor Color) {
    C->Pen()->SetColor(Color);
    C->Brush()->SetColor(Color);
    auto tri = [&](int x0, int x1, int cy, bool right) {
        const int tip = right ? x1 : x0, base = right ? x0 : x1;
        const TPoint p[3] = {{Offset + base, cy - 4}, {Offset + base, cy + 4}, {Offset + tip, cy}};
        C->Polygon(p, 3);
    };
    auto bar = [&](int x) { C->FillRect(TRect(Offset + x, 1, Offset + x + 2, 10)); };
    switch (Index) {
    case nbFirst:
        bar(1);
        tri(4, 8, 5, false);
        break;
    case nbPrior:
        tri(3, 7, 5, false);
        break;
    case nbNext:
        tri(3, 7, 5, true);
        break;
    case nbLast:
        tri(2, 6, 5, true);
        bar(8);
        break;
    case nbInsert:
        C->FillRect(TRect(Offset + 4, 1, Offset + 7, 10));
        C->FillRect(TRect(Offset + 1, 4, Offset + 10, 7));
        break;
    case nbDelete:
        C->FillRect(TRect(Offset + 1, 4, Offset + 10, 7));
        break;
    case nbEdit:
        for (int i = 0; i < 7; ++i)
            C->FillRect(TRect(Offset + 2 + i, 8 - i, Offset + 4 + i, 10 - i));
        break;
    case nbPost:
        for (int i = 0; i < 3; ++i)
            C->FillRect(TRect(Offset + 1 + i, 5 + i, Offset + 3 + i, 7 + i));
        for (int i = 0; i < 6; ++i)
            C->FillRect(TRect(Offset + 4 + i, 7 - i, Offset + 6 + i, 9 - i));
        break;
    case nbCancel:
        for (int i = 0; i < 8; ++i) {
            C->FillRect(TRect(Offset + 1 + i, 1 + i, Offset + 3 + i, 3 + i));
            C->FillRect(TRect(Offset + 8 - i, 1 + i, Offset + 10 - i, 3 + i));
        }
        break;
    }
}

void MakeGlyph(TBitmap* B, TTeeNavigateBtn Index) {
    B->SetSize(22, 11);
    TCanvas* c = B->Canvas();
    // The bottom-left pixel's colour is the transparent one.
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 22, 11));
    DrawShape(c, Index, 0, clBlack);
    DrawShape(c, Index, 11, clGray);
}

} // namespace

// ---------------------------------------------------------------------------
// TTeeNavButton

TTeeNavButton::TTeeNavButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

// The bar's handlers (of its focus, of a click) may free the bar or its form,
// and the button with it.
void TTeeNavButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (held.Gone() || Button != mbLeft) return;
    if (auto* nav = dynamic_cast<TCustomTeeNavigator*>(Owner())) {
        nav->ButtonMouseDown(this);
        if (held.Gone()) return;
    }
    if (!Enabled()) return;
    if (!FRepeatTimer) {
        FRepeatTimer = new TTimer(this);
        FRepeatTimer->OnTimer = [this](TObject*) { TimerExpired(); };
    }
    FHeld = true;
    FRepeatTimer->SetInterval(InitRepeatPause);
    FRepeatTimer->SetEnabled(true);
}

void TTeeNavButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FHeld = false;
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TTeeNavButton::TimerExpired() {
    FRepeatTimer->SetInterval(RepeatPause);
    if (FHeld && State() == bsDown && Enabled()) {
        if (auto* nav = dynamic_cast<TCustomTeeNavigator*>(Owner()))
            nav->BtnClick(static_cast<int>(Index));
    } else {
        FRepeatTimer->SetEnabled(false);
    }
}

void TTeeNavButton::Paint() {
    TSpeedButton::Paint();
    auto* nav = dynamic_cast<TCustomTeeNavigator*>(Owner());
    if (nav && nav->Focused() && nav->FocusedButton() == static_cast<int>(Index)) {
        TRect r(3, 3, Width() - 3, Height() - 3);
        if (State() == bsDown) r = TRect(4, 4, Width() - 2, Height() - 2);
        Canvas()->DrawFocusRect(r);
    }
}

// ---------------------------------------------------------------------------
// TCustomTeeNavigator

TCustomTeeNavigator::TCustomTeeNavigator(TComponent* AOwner)
    : TCustomPanel(AOwner), FHints(std::make_unique<TStringList>()),
      FDefHints(std::make_unique<TStringList>()) {
    SetCaption("");
    for (const char* h : DefaultHints)
        FDefHints->Add(h);
    FHints->OnChange = [this](TObject*) { InitHints(); };
    InitButtons();
    InitHints();
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetFullRepaint(false);
    SetBounds(Left(), Top(), 241, 25);
}

TCustomTeeNavigator::~TCustomTeeNavigator() {
    if (FPanel) {
        FPanel->RemoveListener(this);
        FPanel->RemoveFreeNotification(this);
    }
}

void TCustomTeeNavigator::InitButtons() {
    for (int i = 0; i < TeeNavButtonCount; ++i) {
        auto* b = new TTeeNavButton(this);
        b->Index = static_cast<TTeeNavigateBtn>(i);
        b->SetFlat(true);
        b->SetParent(this);
        b->SetBounds(i * MinBtnWidth, 0, MinBtnWidth, MinBtnHeight);
        TBitmap glyph;
        MakeGlyph(&glyph, b->Index);
        b->SetGlyph(&glyph);
        b->SetNumGlyphs(2);
        b->OnClick = [this, i](TObject*) { BtnClick(i); };
        FButtons[size_t(i)] = b;
    }
    for (int i = nbInsert; i <= nbCancel; ++i)
        FButtons[size_t(i)]->SetVisible(false);
}

void TCustomTeeNavigator::InitHints() {
    for (int i = 0; i < TeeNavButtonCount; ++i)
        FButtons[size_t(i)]->SetHint(FDefHints->Strings(i));
    for (int i = 0; i < std::min(FHints->Count(), TeeNavButtonCount); ++i)
        if (!FHints->Strings(i).IsEmpty()) FButtons[size_t(i)]->SetHint(FHints->Strings(i));
}

void TCustomTeeNavigator::Loaded() {
    TCustomPanel::Loaded();
    InitHints();
    LayoutButtons();
}

void TCustomTeeNavigator::SetPanel(TCustomTeePanel* Value) {
    if (FPanel) {
        FPanel->RemoveListener(this);
        FPanel->RemoveFreeNotification(this);
    }
    FPanel = Value;
    if (FPanel) {
        FPanel->Listeners()->Add(this);
        FPanel->FreeNotification(this);
    }
    EnableButtons();
}

void TCustomTeeNavigator::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && FPanel.Is(AComponent)) FPanel = nullptr;
}

void TCustomTeeNavigator::BtnClick(int Index) {
    // Moving to another page or row calls its handlers, which may free the bar.
    TCallOut held{this, GetParentForm(this)};
    BtnClick(static_cast<TTeeNavigateBtn>(Index));
    if (held.Gone()) return;
    EnableButtons();
    if (OnButtonClicked) OnButtonClicked(this, static_cast<TTeeNavigateBtn>(Index));
}

void TCustomTeeNavigator::ButtonMouseDown(TTeeNavButton* Button) {
    const int old = FFocusedButton;
    FFocusedButton = static_cast<int>(Button->Index);
    if (TabStop() && !Focused() && CanFocus()) {
        SetFocus();
    } else {
        FButtons[size_t(old)]->Invalidate();
        Button->Invalidate();
    }
}

void TCustomTeeNavigator::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int visible = 0;
    for (auto* b : FButtons)
        if (b && b->Visible()) ++visible;
    const int n = std::max(1, visible);
    TCustomPanel::SetBounds(ALeft, ATop, std::max(AWidth, n * MinBtnWidth),
                            std::max(AHeight, MinBtnHeight));
    if (!IsLoading()) LayoutButtons();
}

void TCustomTeeNavigator::Resize() {
    TCustomPanel::Resize();
    LayoutButtons();
}

void TCustomTeeNavigator::LayoutButtons() {
    if (FLayingOut || !FButtons[0]) return;
    FLayingOut = true;
    int visible = 0;
    for (auto* b : FButtons)
        if (b->Visible()) ++visible;
    const int n = std::max(1, visible);
    FButtonWidth = Width() / n;
    int extra = Width() - FButtonWidth * n;
    int x = 0;
    for (auto* b : FButtons) {
        if (!b->Visible()) {
            b->SetBounds(Width() + 1, 0, FButtonWidth, Height());
            continue;
        }
        const int w = FButtonWidth + (extra > 0 ? 1 : 0);
        if (extra > 0) --extra;
        b->SetBounds(x, 0, w, Height());
        x += w;
    }
    FLayingOut = false;
}

bool TCustomTeeNavigator::WantsKey(WORD Key, TShiftState) const {
    return Key == VK_LEFT || Key == VK_RIGHT || Key == VK_SPACE;
}

void TCustomTeeNavigator::KeyDown(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TCustomPanel::KeyDown(Key, Shift);
    if (held.Gone()) return;
    const int old = FFocusedButton;
    switch (Key) {
    case VK_SPACE:
        if (FButtons[size_t(FFocusedButton)]->Enabled()) FButtons[size_t(FFocusedButton)]->Click();
        return;
    case VK_LEFT:
        for (int i = FFocusedButton - 1; i >= 0; --i)
            if (FButtons[size_t(i)]->Visible()) {
                FFocusedButton = i;
                break;
            }
        break;
    case VK_RIGHT:
        for (int i = FFocusedButton + 1; i < TeeNavButtonCount; ++i)
            if (FButtons[size_t(i)]->Visible()) {
                FFocusedButton = i;
                break;
            }
        break;
    default:
        return;
    }
    if (old != FFocusedButton) {
        FButtons[size_t(old)]->Invalidate();
        FButtons[size_t(FFocusedButton)]->Invalidate();
    }
}

void TCustomTeeNavigator::EnabledChanged() {
    TCustomPanel::EnabledChanged();
    EnableButtons();
}

void TCustomTeeNavigator::DoEnter() {
    TCallOut held{this, GetParentForm(this)};
    TCustomPanel::DoEnter();
    if (held.Gone()) return;
    FButtons[size_t(FFocusedButton)]->Invalidate();
}

void TCustomTeeNavigator::DoExit() {
    TCallOut held{this, GetParentForm(this)};
    TCustomPanel::DoExit();
    if (held.Gone()) return;
    FButtons[size_t(FFocusedButton)]->Invalidate();
}
