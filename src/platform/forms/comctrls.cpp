// Progress and track bars on Qt widgets, the self-drawn up-down and status bar,
// and page and tab controls on a tab bar whose changes the control may refuse.
//   TProgressBar, TTrackBar, TUpDown
//   TTabSheet, TCustomTabControl (the shared tab bar), TPageControl, TTabControl
//   TStatusBar
#include "platform/forms/comctrls.h"
#include "platform/classes/watched.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/inherited.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <algorithm>

QM_CLASS_OWNED(TProgressBar, TWinControl, TComponent)
QM_CLASS_OWNED(TTrackBar, TWinControl, TComponent)
QM_CLASS_OWNED(TUpDown, TCustomControl, TComponent)
QM_CLASS_OWNED(TTabSheet, TWinControl, TComponent)
QM_CLASS_ABSTRACT(TCustomTabControl, TWinControl)
QM_CLASS_OWNED(TPageControl, TCustomTabControl, TComponent)
QM_CLASS_OWNED(TTabControl, TCustomTabControl, TComponent)
QM_CLASS_OWNED(TStatusBar, TCustomControl, TComponent)

namespace {
constexpr int TabHeight = 20;
constexpr int PanelFrame = 2;
} // namespace

// A tab bar that asks before it changes its tab, as the platform's tab
// controls ask OnChanging.
class TQtTabBar : public QTabBar {
public:
    std::function<bool(int)> Allow;
    std::function<void(int)> Changed;
    bool Syncing = false;

    explicit TQtTabBar(QWidget* Parent) : QTabBar(Parent) {
        setDrawBase(false);
        setExpanding(false);
        ConnectSignal(this, &QTabBar::currentChanged, nullptr, [this](int index) {
            if (!Syncing && Changed && index >= 0) Changed(index);
        });
    }

protected:
    // The handler that Allow asks may free the control, and this bar with it.
    void mousePressEvent(QMouseEvent* e) override {
        QPointer<TQtTabBar> self(this);
        if (e->button() == Qt::LeftButton) {
            const int index = tabAt(e->position().toPoint());
            if (index >= 0 && index != currentIndex() && Allow && !Allow(index)) return;
        }
        if (self) self->QTabBar::mousePressEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) {
            QPointer<TQtTabBar> self(this);
            const int target = currentIndex() + (e->key() == Qt::Key_Left ? -1 : 1);
            if (target >= 0 && target < count() && (!Allow || Allow(target)) && self)
                self->setCurrentIndex(target);
            return;
        }
        QTabBar::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
};

// ---------------------------------------------------------------------------
// TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TQt<QProgressBar>>()) {
    static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    SetBounds(0, 0, 150, 16);
    Apply();
}

void TProgressBar::Apply() {
    auto* bar = static_cast<QProgressBar*>(Widget());
    bar->setRange(FMin, std::max(FMin, FMax));
    bar->setValue(FPosition);
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
    Apply();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
    Apply();
}

void TProgressBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    Apply();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
    FOrientation = Value;
    static_cast<QProgressBar*>(Widget())->setOrientation(Value == pbVertical ? Qt::Vertical
                                                                             : Qt::Horizontal);
}

// ---------------------------------------------------------------------------
// TTrackBar

namespace {
QSlider* Slider(const TWinControl* c) {
    return static_cast<QSlider*>(c->Widget());
}
} // namespace

TTrackBar::TTrackBar(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TQt<QSlider>>(Qt::Horizontal)) {
    QSlider* s = Slider(this);
    s->setRange(0, 10);
    s->setSingleStep(1);
    s->setPageStep(2);
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
    ApplyTicks();
    ConnectSignal(s, &QSlider::valueChanged, this,
                  [this](int) { RunFromSignal(this, [this] { Changed(); }); });
}

int TTrackBar::Min() const {
    return Slider(this)->minimum();
}
int TTrackBar::Max() const {
    return Slider(this)->maximum();
}
int TTrackBar::Position() const {
    return Slider(this)->value();
}
int TTrackBar::LineSize() const {
    return Slider(this)->singleStep();
}
int TTrackBar::PageSize() const {
    return Slider(this)->pageStep();
}

void TTrackBar::SetMin(int Value) {
    TCodeChange change;
    Slider(this)->setMinimum(Value);
    change.Finish();
}

void TTrackBar::SetMax(int Value) {
    TCodeChange change;
    Slider(this)->setMaximum(Value);
    change.Finish();
}

void TTrackBar::SetPosition(int Value) {
    TCodeChange change;
    Slider(this)->setValue(Value);
    change.Finish();
}

void TTrackBar::SetLineSize(int Value) {
    Slider(this)->setSingleStep(Value);
}
void TTrackBar::SetPageSize(int Value) {
    Slider(this)->setPageStep(Value);
}

void TTrackBar::SetFrequency(int Value) {
    FFrequency = Value;
    ApplyTicks();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    FOrientation = Value;
    Slider(this)->setOrientation(Value == trVertical ? Qt::Vertical : Qt::Horizontal);
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
    FTickStyle = Value;
    ApplyTicks();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
    FTickMarks = Value;
    ApplyTicks();
}

void TTrackBar::ApplyTicks() {
    QSlider* s = Slider(this);
    if (FTickStyle == tsNone) {
        s->setTickPosition(QSlider::NoTicks);
        return;
    }
    s->setTickInterval(std::max(1, FFrequency));
    s->setTickPosition(FTickMarks == tmBoth      ? QSlider::TicksBothSides
                       : FTickMarks == tmTopLeft ? QSlider::TicksAbove
                                                 : QSlider::TicksBelow);
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    SetBounds(0, 0, 15, 21);
    SetColor(clBtnFace);
}

TUpDown::~TUpDown() {
    Destroying();
}

// A figure typed in the field and still inside the new limit stays as typed.
void TUpDown::SetMin(int Value) {
    FMin = Value;
    if (Shown() < FMin) SetPosition(FMin);
}

void TUpDown::SetMax(int Value) {
    FMax = Value;
    if (Shown() > FMax) SetPosition(FMax);
}

int TUpDown::Shown() const {
    if (!FAssociate) return FPosition;
    const AnsiString text =
        StringReplace(Trim(FAssociate->Text()), AnsiString(ThousandSeparator), "");
    int value = 0;
    return TryStrToInt(text, value) ? value : FPosition;
}

int TUpDown::Position() const {
    return std::clamp(Shown(), std::min(FMin, FMax), std::max(FMin, FMax));
}

void TUpDown::SetPosition(int Value) {
    FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    UpdateAssociate();
}

void TUpDown::SetThousands(bool Value) {
    FThousands = Value;
    UpdateAssociate();
}

void TUpDown::UpdateAssociate() {
    if (!FAssociate) return;
    AnsiString text = IntToStr(std::abs(FPosition));
    if (FThousands && ThousandSeparator)
        for (int i = text.Length() - 3; i > 0; i -= 3)
            text.Insert(AnsiString(ThousandSeparator), i + 1);
    if (FPosition < 0) text = "-" + text;
    FAssociate->SetText(text);
}

void TUpDown::SetAssociate(TWinControl* Value) {
    if (FAssociate == Value) return;
    FAssociate = Value;
    if (!Value) return;
    PlaceBesideAssociate();
    UpdateAssociate();
}

void TUpDown::PlaceBesideAssociate() {
    if (!FAssociate) return;
    TWinControl* a = FAssociate;
    if (Parent() != a->Parent()) SetParent(a->Parent());
    a->SetWidth(std::max(0, a->Width() - Width()));
    if (FAlignButton == udRight)
        SetBounds(a->Left() + a->Width(), a->Top(), Width(), a->Height());
    else {
        SetBounds(a->Left(), a->Top(), Width(), a->Height());
        a->SetLeft(a->Left() + Width());
    }
}

void TUpDown::SetAlignButton(TUDAlignButton Value) {
    FAlignButton = Value;
    Invalidate();
}

void TUpDown::SetOrientation(TUDOrientation Value) {
    FOrientation = Value;
    Invalidate();
}

void TUpDown::Step(TUDBtnType Button) {
    bool allow = true;
    TCallOut held{this};
    if (OnChanging) OnChanging(this, allow);
    if (held.Gone() || !allow) return;
    const int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    int value = Position() + (Button == btNext ? FIncrement : -FIncrement);
    if (value > hi) value = FWrap ? lo : hi;
    if (value < lo) value = FWrap ? hi : lo;
    // The associate's change is the user's: what it writes may free this page.
    SetPosition(value);
    if (held.Gone()) return;
    if (OnClick) OnClick(this, Button);
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TCustomControl::MouseDown(Button, Shift, X, Y); },
        [&] {
            if (Button != mbLeft || Shift.Contains(ssDouble)) return;
            const bool first =
                FOrientation == udVertical ? Y < ClientHeight() / 2 : X >= ClientWidth() / 2;
            FPressed = first ? btNext : btPrev;
            Invalidate();
            Step(first ? btNext : btPrev);
        });
}

void TUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FPressed = -1;
    Invalidate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TUpDown::Paint() {
    TCanvas* c = Canvas();
    const int w = ClientWidth(), h = ClientHeight();
    const bool vertical = FOrientation == udVertical;
    for (int part = 0; part < 2; ++part) {
        TRect r = vertical ? Rect(0, part * h / 2, w, (part + 1) * h / 2)
                           : Rect(part * w / 2, 0, (part + 1) * w / 2, h);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
        const bool pressed = FPressed == (vertical ? part : 1 - part);
        TRect frame = r;
        Frame3D(c, frame, pressed ? clBtnShadow : clBtnHighlight,
                pressed ? clBtnShadow : cl3DDkShadow, 1);
        const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
        c->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
        c->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
        TPoint arrow[3];
        if (vertical) {
            const int dir = part == 0 ? -1 : 1;
            arrow[0] = Point(cx - 2, cy - dir);
            arrow[1] = Point(cx + 2, cy - dir);
            arrow[2] = Point(cx, cy + dir);
        } else {
            const int dir = part == 0 ? -1 : 1;
            arrow[0] = Point(cx - dir, cy - 2);
            arrow[1] = Point(cx - dir, cy + 2);
            arrow[2] = Point(cx + dir, cy);
        }
        c->Polygon(arrow, 3);
    }
}

// ---------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    Widget()->setAutoFillBackground(true);
    SetColor(clBtnFace);
    TControl::SetVisible(false);
}

TTabSheet::~TTabSheet() {
    Destroying();
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent) {
    TWinControl::SetParent(AParent);
    FPageControl = dynamic_cast<TPageControl*>(AParent);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    const int current = PageIndex();
    if (current < 0) return;
    Value = std::clamp(Value, 0, static_cast<int>(pages.size()) - 1);
    pages.erase(pages.begin() + current);
    pages.insert(pages.begin() + Value, this);
    FPageControl->RebuildTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    if (!FPageControl) return;
    if (!Value && FPageControl->FActivePage == this) {
        TTabSheet* next = FPageControl->FindNextPage(this, true, true);
        FPageControl->SetActivePage(next == this ? nullptr : next);
    }
    FPageControl->RebuildTabs();
}

void TTabSheet::SetHighlighted(bool Value) {
    FHighlighted = Value;
    if (FPageControl) FPageControl->RebuildTabs();
}

void TTabSheet::TextChanged() {
    if (FPageControl) FPageControl->RebuildTabs();
}

void TTabSheet::ApplyColor() {
    QPalette pal = Widget()->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    Widget()->setPalette(pal);
}

// ---------------------------------------------------------------------------
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    // The tab bar, a framed panel under it and the client area inside the panel.
    FTabBar = new TQtTabBar(Widget());
    auto* frame = new QFrame(Widget());
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(PanelFrame);
    FPanel = frame;
    auto* client = new TQt<QWidget>(frame);
    client->setMouseTracking(true);
    FTabBar->Allow = [this](int) {
        bool allow = false;
        RunAsMessage(this, [&] { allow = CanChange(); });
        return allow;
    };
    FTabBar->Changed = [this](int tab) {
        RunAsMessage(this, [this, tab] { TabChangedByUser(tab); });
    };
    SetWidgetControl(client, this);
    SetClientWidget(client);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TCustomTabControl::~TCustomTabControl() {
    Destroying();
    FTabBar->Allow = nullptr;
    FTabBar->Changed = nullptr;
}

int TCustomTabControl::ClientWidth() const {
    return std::max(0, Width() - 2 * PanelFrame);
}
int TCustomTabControl::ClientHeight() const {
    return std::max(0, Height() - TabHeight - 2 * PanelFrame);
}

void TCustomTabControl::ApplyGeometry() {
    TWinControl::ApplyGeometry();
    if (!FTabBar) return;
    FTabBar->setGeometry(0, 0, Width(), TabHeight);
    FPanel->setGeometry(0, TabHeight, Width(), std::max(0, Height() - TabHeight));
    ClientWidget()->setGeometry(PanelFrame, PanelFrame, ClientWidth(), ClientHeight());
}

int TCustomTabControl::TabsWidth() const {
    int width = 0;
    for (int i = 0; i < FTabBar->count(); ++i)
        width += FTabBar->tabRect(i).width();
    return width;
}

bool TCustomTabControl::TabsFit() const {
    return TabsWidth() <= FTabBar->width();
}

int TCustomTabControl::BarIndex() const {
    return FTabBar->currentIndex();
}

int TCustomTabControl::BarCount() const {
    return FTabBar->count();
}

void TCustomTabControl::SetBarIndex(int Index) {
    FTabBar->Syncing = true;
    FTabBar->setCurrentIndex(Index);
    FTabBar->Syncing = false;
}

void TCustomTabControl::ClearBar() {
    FTabBar->Syncing = true;
    while (FTabBar->count() > 0)
        FTabBar->removeTab(FTabBar->count() - 1);
    FTabBar->Syncing = false;
}

void TCustomTabControl::AddBarTab(const AnsiString& Caption, bool Highlighted) {
    FTabBar->Syncing = true;
    const int index = FTabBar->addTab(QtCaption(Caption));
    if (Highlighted) FTabBar->setTabTextColor(index, ToQColor(clHighlight));
    FTabBar->Syncing = false;
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::TabChangedByUser(int) {
    Change();
}

// ---------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    Destroying();
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FPages[size_t(Index)];
}

void TPageControl::ApplyGeometry() {
    TCustomTabControl::ApplyGeometry();
    PlaceSheets();
}

void TPageControl::PlaceSheets() {
    for (TTabSheet* p : FPages)
        p->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TPageControl::ChildAdded(TControl* AControl) {
    auto* sheet = dynamic_cast<TTabSheet*>(AControl);
    if (!sheet || std::find(FPages.begin(), FPages.end(), sheet) != FPages.end()) return;
    FPages.push_back(sheet);
    sheet->FPageControl = this;
    sheet->SetBounds(0, 0, ClientWidth(), ClientHeight());
    sheet->TControl::SetVisible(sheet == FActivePage);
    RebuildTabs();
}

void TPageControl::ChildRemoved(TControl* AControl) {
    auto it = std::find(FPages.begin(), FPages.end(), AControl);
    if (it == FPages.end()) return;
    const bool wasActive = FActivePage == *it;
    const size_t at = static_cast<size_t>(it - FPages.begin());
    // The sheet may be half destroyed already: it leaves the list before the
    // next one is looked for, so the search never reads it.
    FPages.erase(it);
    if (IsDestroying()) return;
    if (wasActive) {
        TTabSheet* next = nullptr;
        for (size_t n = 0; n < FPages.size() && !next; ++n) {
            TTabSheet* p = FPages[(at + n) % FPages.size()];
            if (p->TabVisible()) next = p;
        }
        FActivePage = nullptr;
        SetActivePage(next);
    }
    RebuildTabs();
}

void TPageControl::RebuildTabs() {
    ClearBar();
    for (TTabSheet* p : FPages)
        if (p->TabVisible()) AddBarTab(p->Caption(), p->Highlighted());
    if (FActivePage && FActivePage->TabIndex() >= 0) SetBarIndex(FActivePage->TabIndex());
}

void TPageControl::ShowActive() {
    TCallOut held{this};
    // A handler may add or free pages: walk a copy and skip those gone.
    const std::vector<TTabSheet*> pages = FPages;
    for (TTabSheet* p : pages) {
        if (std::find(FPages.begin(), FPages.end(), p) == FPages.end()) continue;
        const bool show = p == FActivePage;
        if (p->Visible() == show) continue;
        p->TControl::SetVisible(show);
        if (show && p->OnShow)
            p->OnShow(p);
        else if (!show && p->OnHide)
            p->OnHide(p);
        if (held.Gone()) return;
    }
    if (FActivePage && FActivePage->TabIndex() >= 0) SetBarIndex(FActivePage->TabIndex());
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    FActivePage = Page;
    ShowActive();
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

int TPageControl::TabIndex() const {
    return FActivePage ? FActivePage->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int Value) {
    for (TTabSheet* p : FPages)
        if (p->TabIndex() == Value && Value >= 0) {
            SetActivePage(p);
            return;
        }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward,
                                      bool CheckTabVisible) const {
    const int count = PageCount();
    if (count == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurPage);
    int start =
        it == FPages.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(it - FPages.begin());
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* p = FPages[size_t(i)];
        if (!CheckTabVisible || p->TabVisible()) return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
    TTabSheet* next = FindNextPage(FActivePage, GoForward, true);
    if (next) SelectPageByUser(next);
}

bool TPageControl::SelectPageByUser(TTabSheet* Page) {
    if (Page == FActivePage) return true;
    // OnChanging may free the page or the control.
    TCallOut held{this, Page};
    const bool can = CanChange();
    if (held.Gone()) return false;
    if (!can) {
        ShowActive();
        return false;
    }
    SetActivePage(Page);
    Change();
    return true;
}

void TPageControl::TabChangedByUser(int Tab) {
    for (TTabSheet* p : FPages)
        if (p->TabIndex() == Tab) {
            if (p != FActivePage) {
                SetActivePage(p);
                Change();
            }
            return;
        }
}

// ---------------------------------------------------------------------------
// TTabControl

TTabControl::TTabControl(TComponent* AOwner)
    : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>()) {
    FTabs->OnChange = [this](TObject*) { TabsChanged(); };
}

TTabControl::~TTabControl() {
    Destroying();
    FTabs->OnChange = nullptr;
}

void TTabControl::TabsChanged() {
    const int index = BarIndex();
    ClearBar();
    for (int i = 0; i < FTabs->Count(); ++i)
        AddBarTab(FTabs->Strings(i));
    SetBarIndex(index < BarCount() ? index : BarCount() - 1);
}

int TTabControl::TabIndex() const {
    return BarIndex();
}

void TTabControl::SetTabIndex(int Value) {
    SetBarIndex(Value);
}

bool TTabControl::SelectTabByUser(int Index) {
    if (Index == TabIndex()) return true;
    if (Index < 0 || Index >= FTabs->Count()) return false;
    TCallOut held{this};
    if (!CanChange() || held.Gone()) return false;
    SetTabIndex(Index);
    Change();
    return true;
}

// ---------------------------------------------------------------------------
// TStatusBar

void TStatusPanel::Changed() {
    if (FOwner) FOwner->Invalidate();
}

void TStatusPanel::SetText(const AnsiString& Value) {
    FText = Value;
    Changed();
}

void TStatusPanel::SetWidth(int Value) {
    FWidth = Value;
    Changed();
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed();
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    FStyle = Value;
    Changed();
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    FBevel = Value;
    Changed();
}

int TStatusPanel::Index() const {
    return FOwner ? FOwner->Panels()->IndexOf(this) : -1;
}

TStatusPanel* TStatusPanels::Add() {
    FItems.push_back(std::make_unique<TStatusPanel>(FOwner));
    FOwner->Invalidate();
    return FItems.back().get();
}

TStatusPanel* TStatusPanels::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)].get();
}

void TStatusPanels::Delete(int Index) {
    Items(Index);
    FItems.erase(FItems.begin() + Index);
    FOwner->Invalidate();
}

void TStatusPanels::Clear() {
    FItems.clear();
    FOwner->Invalidate();
}

int TStatusPanels::IndexOf(const TStatusPanel* Panel) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].get() == Panel) return i;
    return -1;
}

TStatusBar::TStatusBar(TComponent* AOwner)
    : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    Destroying();
}

void TStatusBar::SetSimplePanel(bool Value) {
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const AnsiString& Value) {
    FSimpleText = Value;
    Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
    FSizeGrip = Value;
    Invalidate();
}

TRect TStatusBar::PanelRect(int Index) const {
    int x = 0;
    for (int i = 0; i < Index && i < FPanels->Count(); ++i)
        x += FPanels->Items(i)->Width() + 2;
    const bool last = Index == FPanels->Count() - 1;
    const int right = last ? ClientWidth() : x + FPanels->Items(Index)->Width();
    return Rect(x, 2, std::max(x, right), ClientHeight());
}

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    auto text = [c](const TRect& r, const AnsiString& s, TAlignment a) {
        TRect box = r;
        InflateRect(box, -2, -1);
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (a == taCenter)
            flags |= DT_CENTER;
        else if (a == taRightJustify)
            flags |= DT_RIGHT;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(s, box, flags);
    };
    if (FSimplePanel) {
        text(Rect(0, 2, ClientWidth(), ClientHeight()), FSimpleText, taLeftJustify);
        return;
    }
    for (int i = 0; i < FPanels->Count(); ++i) {
        TStatusPanel* panel = FPanels->Items(i);
        TRect r = PanelRect(i);
        if (panel->Bevel() != pbNone) {
            TRect frame = r;
            const bool lowered = panel->Bevel() == pbLowered;
            Frame3D(c, frame, lowered ? clBtnShadow : clBtnHighlight,
                    lowered ? clBtnHighlight : clBtnShadow, 1);
        }
        if (panel->Style() == psOwnerDraw) {
            TRect inner = r;
            InflateRect(inner, -1, -1);
            if (OnDrawPanel) OnDrawPanel(this, panel, inner);
        } else {
            text(r, panel->Text(), panel->Alignment());
        }
    }
}
