// The application and its message loop, the screen, forms (top-level windows
// with their frame metrics, modal loops and closing). The scroll box is in scrollbox.cpp.
//   Qt application and message-loop helpers; test hooks kept here
//   TScreen, TApplication
//   TCustomForm (the longest part); its focus and dialog keys are in formkeys.cpp
#include "platform/forms/forms.h"
#include "platform/classes/watched.h"
#include "platform/classes/filenames.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/qtbridge.h"
#include "platform/win32/mainthread.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QCommonStyle>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOption>
#include <QTimer>
#include <QPointer>
#include <QWindow>
#include <QToolTip>
#include <algorithm>
#if defined(QM_HAVE_XCB) && QT_CONFIG(xcb)
#include <QGuiApplication>
#include <xcb/xcb.h>
#define QM_X11_OWNERS 1
#endif
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

QM_CLASS_OWNED(TCustomForm, TWinControl, TComponent)
QM_CLASS_OWNED(TForm, TCustomForm, TComponent)
QM_CLASS_OWNED(TScrollBox, TWinControl, TComponent)
QM_CLASS_PLAIN(TScreen, TComponent)
QM_CLASS_PLAIN(TApplication, TComponent)

namespace {
// Declared first so they are destroyed last: the Qt application outlives every form.
std::unique_ptr<QApplication> GQtApp;
std::unique_ptr<QTimer> GWakeTimer;
std::exception_ptr GPendingUnwind;
int GScreenW = 0, GScreenH = 0;
TExitHook GExitHook;
bool GOverrideCursor = false;
bool GProcessEnding = false;
} // namespace

TScreen GScreenInstance;
TApplication GApplicationInstance;
TScreen* Screen = &GScreenInstance;
TApplication* Application = &GApplicationInstance;

// ---------------------------------------------------------------------------
// Qt application, message-loop helpers

bool IsHeadless() {
    return QGuiApplication::platformName() == "offscreen" ||
           QGuiApplication::platformName() == "minimal";
}

namespace {
// A standard icon read from its files only when it is first drawn or
// measured: every menu bar asks for its overflow button's icon at once,
// and the button shows only on a window too narrow for its menu.
class TLazyStandardIcon : public QIconEngine {
public:
    explicit TLazyStandardIcon(std::function<QIcon()> Make) : FMake(std::move(Make)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // The style's own icons are never empty; asking must not read them.
    bool isNull() override { return FMade && FIcon.isNull(); }
    QString key() const override { return QStringLiteral("TLazyStandardIcon"); }
    QIconEngine* clone() const override { return new TLazyStandardIcon(*this); }

private:
    const QIcon& Icon() {
        if (!FMade) {
            FMade = true;
            FIcon = FMake();
        }
        return FIcon;
    }
    std::function<QIcon()> FMake;
    bool FMade = false;
    QIcon FIcon;
};

// The application's hint delays reach Qt's tool tips through the style.
class THintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return Application->HintPause();
        if (hint == SH_ToolTip_FallAsleepDelay) return Application->HintHidePause();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    // Group boxes as the programs expect them: an etched line from the middle of
    // the caption, broken by it, and no shaded panel that would put boxes behind
    // labels. The common style draws exactly that.
    // A disabled box keeps its frame; only its caption greys, as the
    // platform draws it (the disabled palette has no dark shade to etch with).
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control == CC_GroupBox) {
            const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
            if (box && !(box->state & State_Enabled)) {
                QStyleOptionGroupBox enabledFrame(*box);
                QPalette& pal = enabledFrame.palette;
                for (QPalette::ColorRole role : {QPalette::Light, QPalette::Midlight, QPalette::Mid,
                                                 QPalette::Dark, QPalette::Shadow})
                    pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
                FPlain->drawComplexControl(control, &enabledFrame, painter, widget);
                return;
            }
            FPlain->drawComplexControl(control, option, painter, widget);
        } else if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
                   bar && control == CC_ScrollBar)
            DrawPlatformScrollBar(this, bar, painter, widget);
        else
            QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        if (control == CC_GroupBox) return FPlain->subControlRect(control, option, sub, widget);
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon != SP_ToolBarHorizontalExtensionButton &&
            icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        const QPointer<const QWidget> owner(widget);
        return QIcon(new TLazyStandardIcon([this, icon, owner] {
            return QProxyStyle::standardIcon(icon, nullptr, owner.data());
        }));
    }

    // Text that Qt's own widgets show (a file dialog's names, say) may need
    // the system's fonts; they are read before it is drawn.
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal,
                      bool enabled, const QString& text, QPalette::ColorRole role) const override {
        ReadSystemFontsFor(text);
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text, role);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option))
            ReadSystemFontsFor(item->text);
        else if (const auto* menu = qstyleoption_cast<const QStyleOptionMenuItem*>(option))
            ReadSystemFontsFor(menu->text);
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    std::unique_ptr<QCommonStyle> FPlain = std::make_unique<QCommonStyle>();
};
} // namespace

void EnsureQtApplication() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(app))
            throw EInvalidOperation(
                "Windows need a widget application object; another kind exists");
        return;
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    PrepareFontConfiguration();
    static int argc = 1;
    static char name[] = "qmreadout";
    static char* argv[] = {name, nullptr};
    GQtApp = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new THintStyle); // the application takes ownership
    // Qt cannot be torn down once the process is ending (its own statics go
    // first), so what is still alive then is left to the system.
    std::atexit([] {
        GProcessEnding = true;
        (void)GWakeTimer.release();
        (void)GQtApp.release();
    });
    // Calls handed over by worker threads (the serial event thread) wake the loop.
    SetMainThreadWakeHook([] {
        if (auto* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread()))
            d->wakeUp();
    });
}

namespace {
// Whatever needs Qt first, the application object is always the widget one.
const bool GMakerInstalled = (GuiApplicationMaker = &EnsureQtApplication, true);
} // namespace

void SetPendingUnwind(std::exception_ptr E) {
    if (!GPendingUnwind) GPendingUnwind = E;
}

void RethrowPendingUnwind() {
    if (!GPendingUnwind) return;
    std::exception_ptr e = GPendingUnwind;
    GPendingUnwind = nullptr;
    std::rethrow_exception(e);
}

void RunAsMessage(TObject* Sender, const std::function<void()>& Action) {
    // The action may free its sender before it throws: the box then names none.
    TCallOut held{dynamic_cast<TPersistent*>(Sender)};
    try {
        Action();
    } catch (EUnwindToTest&) {
        SetPendingUnwind(std::current_exception());
    } catch (...) {
        try {
            Application->HandleException(held.Gone() ? nullptr : Sender);
        } catch (EUnwindToTest&) {
            SetPendingUnwind(std::current_exception());
        } catch (...) {
            // Showing the exception failed as well; the loop must go on.
        }
    }
}

int GetSystemMetrics(int Index) {
    switch (Index) {
    case SM_CXSCREEN:
        return Screen->Width();
    case SM_CYSCREEN:
        return Screen->Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CYMENU:
        return 19;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CYSMCAPTION:
        return 16;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------
// Test hooks kept here: screen size, process exit

void ResetApplicationForTest() {
    Application->FTerminated = false;
    Application->FMainForm = nullptr;
}

void SetScreenSizeOverride(int Width, int Height) {
    GScreenW = Width;
    GScreenH = Height;
}

TExitHook SetExitHook(TExitHook Hook) {
    TExitHook previous = std::move(GExitHook);
    GExitHook = std::move(Hook);
    return previous;
}

TExitTrap::TExitTrap() {
    FPrevious = SetExitHook([this](int code) {
        FExited = true;
        FCode = code;
        throw EProcessExit(code);
    });
}

TExitTrap::~TExitTrap() {
    SetExitHook(std::move(FPrevious));
}

void Halt(int ExitCode) {
    if (GExitHook) GExitHook(ExitCode);
    std::fflush(nullptr);
    std::_Exit(ExitCode);
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen() : TComponent(nullptr) {}

TScreen::~TScreen() {
    for (auto& entry : FCursors)
        delete entry.second;
}

HCURSOR CreateBitmapCursor(TBitmap* Image, int HotX, int HotY) {
    EnsureQtApplication();
    QImage picture =
        BitmapImage(Image) ? BitmapImage(Image)->convertToFormat(QImage::Format_ARGB32) : QImage();
    if (Image && Image->Transparent() && !picture.isNull()) {
        const QRgb key = ToQColor(Image->TransparentColor()).rgb() | 0xFF000000u;
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if ((line[x] | 0xFF000000u) == key) line[x] = 0;
        }
    }
    return new TCursorData{QCursor(QPixmap::fromImage(picture), HotX, HotY)};
}

HCURSOR TScreen::Cursors(TCursor Index) const {
    const auto found = FCursors.find(Index);
    return found == FCursors.end() ? nullptr : found->second;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Value) {
    const auto found = FCursors.find(Index);
    if (found != FCursors.end()) {
        if (found->second == Value) return;
        delete found->second;
        FCursors.erase(found);
    }
    if (Value) FCursors[Index] = Value;
}

QCursor QtCursorOf(TCursor Cursor) {
    if (HCURSOR registered = Screen->Cursors(Cursor)) return registered->Cursor;
    return QCursor(CursorShapeOf(Cursor));
}

int TScreen::Width() const {
    if (GScreenW > 0) return GScreenW;
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
    if (GScreenH > 0) return GScreenH;
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

TRect TScreen::WorkAreaRect() const {
    if (GScreenW > 0 && GScreenH > 0) return Rect(0, 0, GScreenW, GScreenH);
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return Rect(0, 0, Width(), Height());
    const QRect a = s->availableGeometry();
    return Rect(a.left(), a.top(), a.left() + a.width(), a.top() + a.height());
}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    EnsureQtApplication();
    if (GOverrideCursor) QApplication::restoreOverrideCursor();
    GOverrideCursor = Value != crDefault;
    if (GOverrideCursor) QApplication::setOverrideCursor(QtCursorOf(Value));
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FForms[static_cast<size_t>(Index)];
}

TWinControl* TScreen::ActiveControl() const {
    return FActiveForm ? FActiveForm->ActiveControl() : nullptr;
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication() : TComponent(nullptr) {
    // A file-size limit must fail a write (EFBIG) like a full disk, never end
    // the process between a partial write and its rollback.
    std::signal(SIGXFSZ, SIG_IGN);
}

TApplication::~TApplication() {
    Destroying();
    // Forms still owned at the very end stay with the ending process: their
    // widgets cannot be freed without Qt (main frees them before returning).
    if (GProcessEnding)
        while (ComponentCount() > 0)
            RemoveComponent(Components(ComponentCount() - 1));
    DestroyComponents();
}

void TApplication::Initialize() {
    EnsureQtApplication();
}

bool TApplication::Headless() const {
    EnsureQtApplication();
    return IsHeadless();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMainForm) FMainForm = nullptr;
    FReleased.erase(std::remove(FReleased.begin(), FReleased.end(), AComponent), FReleased.end());
}

void TApplication::AddRelease(TCustomForm* Form) {
    if (std::find(FReleased.begin(), FReleased.end(), Form) != FReleased.end()) return;
    FReleased.push_back(Form);
    Form->FreeNotification(this);
}

void TApplication::FreeReleased() {
    while (!FReleased.empty()) {
        TCustomForm* form = FReleased.front();
        FReleased.erase(FReleased.begin());
        form->RemoveFreeNotification(this);
        delete form;
    }
}

void TApplication::Run() {
    EnsureQtApplication();
    FTerminated = false;
    if (FMainForm && FShowMainForm && !FMainForm->Visible()) FMainForm->Show();
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (EUnwindToTest&) {
            throw;
        } catch (...) {
            HandleException(this);
        }
        if (!FMainForm) FTerminated = true;
    }
}

void TApplication::Terminate() {
    FTerminated = true;
    if (QCoreApplication::instance())
        if (auto* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

void TApplication::ProcessMessages() {
    EnsureQtApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    CheckSynchronize();
    ServiceTimers();
    FreeReleased();
    RethrowPendingUnwind();
    PumpScriptStep();
    RethrowPendingUnwind();
}

void TApplication::HandleMessage() {
    EnsureQtApplication();
    if (PumpScriptActive()) {
        ProcessMessages();
        return;
    }
    if (IsHeadless())
        throw EUnwindToTest("A message loop ran headless without a pump script to drive it");
    const long due = NextTimerDueMs();
    if (due >= 0) {
        if (!GWakeTimer) {
            GWakeTimer = std::make_unique<QTimer>();
            GWakeTimer->setSingleShot(true);
        }
        GWakeTimer->start(static_cast<int>(std::min<long>(due, 1000000)));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    CheckSynchronize();
    ServiceTimers();
    FreeReleased();
    RethrowPendingUnwind();
}

void TApplication::HandleException(TObject* Sender) {
    if (!std::current_exception()) return;
    try {
        throw;
    } catch (EUnwindToTest&) {
        throw;
    } catch (const EAbort&) {
        // The silent abort: the handler has ended, nothing is shown.
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        const Exception e("Unknown exception");
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    }
}

void TApplication::ShowException(const std::exception& E) {
    AnsiString msg;
    if (auto* ex = dynamic_cast<const Exception*>(&E))
        msg = ex->Message;
    else
        msg = E.what();
    if (!msg.IsEmpty() && static_cast<unsigned char>(msg[msg.Length()]) > '.') msg += '.';
    MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags) {
    return ShowMessageBoxImpl(Text, Caption, Flags);
}

namespace {
std::string ExePath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("qmreadout") : path.string();
}
} // namespace

AnsiString TApplication::ExeName() const {
    return ProgramFileName(ExePath());
}

AnsiString TApplication::Title() const {
    if (!FTitle.IsEmpty()) return FTitle;
    // Only shown, and shown with every message: never a refusal of its own.
    AnsiString title;
    if (TryProgramFileName(std::filesystem::path(ExePath()).stem().string(), title)) return title;
    return "qmreadout";
}

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    for (TCustomForm* f : Screen->FForms)
        f->SetParentShowHint(f->ParentShowHint());
}

void TApplication::SetHintPause(int Value) {
    FHintPause = Value;
}

namespace {
AnsiString GShownHint;
} // namespace

void TApplication::ActivateHint(const TPoint& CursorPos) {
    EnsureQtApplication();
    const AnsiString text = ShownHintOf(FindControlAtScreen(CursorPos));
    if (text.IsEmpty()) {
        CancelHint();
        return;
    }
    GShownHint = text;
    if (!IsHeadless()) QToolTip::showText(QPoint(CursorPos.x, CursorPos.y), AnsiToQString(text));
}

void TApplication::CancelHint() {
    GShownHint = AnsiString();
    if (!IsHeadless() && QApplication::instance()) QToolTip::hideText();
}

AnsiString ShownHintText() {
    return GShownHint;
}

void TApplication::BringToFront() {
    if (FMainForm) FMainForm->BringToFront();
}

void TApplication::Halt(int ExitCode) {
    ::Halt(ExitCode);
}

// ---------------------------------------------------------------------------
// TCustomForm

struct TFormAccess {
    static void SetActive(TCustomForm* f, bool v) { f->SetActiveState(v); }
    static void Resized(TCustomForm* f, int w, int h) { f->WindowResized(w, h); }
    static void Moved(TCustomForm* f, int x, int y) { f->WindowMoved(x, y); }
    static int MenuHeight(TCustomForm* f) { return f->MenuHeight(); }
};

bool DispatchFormWindowEvent(TCustomForm* Form, QWidget* Widget, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::Close:
        Event->ignore();
        RunAsMessage(Form, [Form] { CloseFormFromFrame(Form); });
        return true;
    case QEvent::WindowActivate:
        if (!Form->Parent()) RunAsMessage(Form, [Form] { TFormAccess::SetActive(Form, true); });
        return false;
    case QEvent::Resize:
        if (Event->spontaneous() && !Form->Parent()) {
            const QSize s = static_cast<QResizeEvent*>(Event)->size();
            RunAsMessage(Form, [&] { TFormAccess::Resized(Form, s.width(), s.height()); });
        }
        return false;
    case QEvent::Move:
        if (Event->spontaneous() && !Form->Parent()) {
            const QPoint p = Widget->frameGeometry().topLeft();
            RunAsMessage(Form, [&] { TFormAccess::Moved(Form, p.x(), p.y()); });
        }
        return false;
    default:
        return false;
    }
}

namespace {
QWidget* NewFormWindow() {
    auto* w = NewWidget<TQt<QWidget>>();
    w->setWindowFlags(Qt::Window);
    // The screen the forms measure and place themselves on. Named here, it
    // spares every widget of a window not yet shown a search by position
    // whenever it asks for its resolution.
    w->setScreen(QGuiApplication::primaryScreen());
    return w;
}
} // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner, NewFormWindow()) {
    auto* client = new TQt<QWidget>(Widget());
    client->setAttribute(Qt::WA_OpaquePaintEvent);
    client->setAttribute(Qt::WA_NoSystemBackground);
    client->setMouseTracking(true);
    SetWidgetControl(client, this);
    SetClientWidget(client);
    Impl()->SelfDrawn = true;
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    Screen->FForms.push_back(this);
    Widget()->setFont(ToQFont(*Font()));
    ApplyWindowFlags();
    SetBounds(0, 0, 320, 240);
    ApplyGeometry();
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (FActive) FActive = false;
    PassOwnedWindows();
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FActiveControl = nullptr;
    FFocusedControl = nullptr;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FMenu.Is(AComponent)) {
        FMenu = nullptr;
        if (!IsDestroying()) MenuChanged();
    }
}

int TCustomForm::FrameWidth() const {
    switch (FBorderStyle) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return GetSystemMetrics(SM_CXFRAME);
    default:
        return GetSystemMetrics(SM_CXDLGFRAME);
    }
}

int TCustomForm::CaptionHeight() const {
    switch (FBorderStyle) {
    case bsNone:
        return 0;
    case bsToolWindow:
    case bsSizeToolWin:
        return GetSystemMetrics(SM_CYSMCAPTION);
    default:
        return GetSystemMetrics(SM_CYCAPTION);
    }
}

int TCustomForm::MenuHeight() const {
    if (!FMenu) return 0;
    TMenuItem* items = FMenu->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible()) return GetSystemMetrics(SM_CYMENU);
    return 0;
}

int TCustomForm::ClientWidth() const {
    return std::max(0, Width() - 2 * FrameWidth());
}

int TCustomForm::ClientHeight() const {
    return std::max(0, Height() - CaptionHeight() - 2 * FrameWidth() - MenuHeight());
}

namespace {
// The scroll bars of a window fitted to the screen have the platform's width,
// so the window's size follows from its content and the work area alone.
class TFitScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;
    QSize sizeHint() const override {
        const QSize s = QScrollBar::sizeHint();
        const int t = GetSystemMetrics(SM_CXVSCROLL);
        return orientation() == Qt::Vertical ? QSize(t, s.height()) : QSize(s.width(), t);
    }
};
} // namespace

namespace {
// Set while a size or place the window manager gave is taken, whatever throws.
struct TSizedByWindow {
    bool& Flag;
    bool Old;
    explicit TSizedByWindow(bool& F) : Flag(F), Old(F) { Flag = true; }
    ~TSizedByWindow() { Flag = Old; }
};
} // namespace

bool TCustomForm::FitWorkArea(int& W, int& H) const {
    const QWidget* win = Widget();
    // The window manager's frame once it is known, else the platform's.
    int extraW = 2 * FrameWidth(), extraH = CaptionHeight() + 2 * FrameWidth();
    if (win->isVisible()) {
        extraW = std::max(extraW, win->frameGeometry().width() - win->width());
        extraH = std::max(extraH, win->frameGeometry().height() - win->height());
    }
    const TRect area = Screen->WorkAreaRect();
    const int availW = std::max(1, area.Width() - extraW),
              availH = std::max(1, area.Height() - extraH);
    const int bar = GetSystemMetrics(SM_CXVSCROLL), mh = MenuHeight();
    const int cw = W, ch = H - mh;
    bool across = cw > availW;
    const bool down = mh + ch + (across ? bar : 0) > availH;
    if (down && !across) across = cw + bar > availW;
    if (!across && !down) return true;
    W = std::min(cw + (down ? bar : 0), availW);
    H = std::min(mh + ch + (across ? bar : 0), availH);
    return false;
}

bool TCustomForm::Fitted() const {
    return FFitArea && !FFitArea->isHidden();
}

void TCustomForm::ShowFitted(bool On, int ViewW, int ViewH) {
    QWidget* client = Impl()->Client;
    auto* area = static_cast<QScrollArea*>(FFitArea);
    if (On) {
        if (!area) {
            area = new QScrollArea(Widget());
            area->setFrameShape(QFrame::NoFrame);
            area->setFocusPolicy(Qt::NoFocus);
            area->setWidgetResizable(false);
            area->setVerticalScrollBar(new TFitScrollBar(Qt::Vertical));
            area->setHorizontalScrollBar(new TFitScrollBar(Qt::Horizontal));
            FFitArea = area;
        }
        if (area->widget() != client) {
            area->setWidget(client);
            // The form paints its whole client area itself.
            client->setAutoFillBackground(false);
        }
        area->setGeometry(0, MenuHeight(), ViewW, ViewH);
        area->show();
    } else if (area) {
        if (area->widget() == client) {
            area->takeWidget();
            client->setParent(Widget());
            client->show();
        }
        area->hide();
    }
}

void TCustomForm::ScrollInView(const TRect& R) {
    FViewWanted = R;
    ApplyViewWanted();
}

void TCustomForm::ApplyViewWanted() {
    // The view's size is known once the window shows.
    if (!FViewWanted || !Widget()->isVisible()) return;
    const TRect r = *FViewWanted;
    FViewWanted.reset();
    if (!Fitted()) return;
    auto* area = static_cast<QScrollArea*>(FFitArea);
    // The far edge first, then the near one, so a rect wider than the view
    // shows its left or top part.
    for (const bool nearEdge : {false, true}) {
        // Qt keeps a point at the view's far edge as shown: one past the rect's.
        const int x = nearEdge ? r.Left : r.Right, y = nearEdge ? r.Top : r.Bottom;
        area->ensureVisible(x, y, 0, 0);
    }
}

void TCustomForm::ApplyGeometry() {
    QWidget* win = Widget();
    if (!win || !Impl()->Client) return;
    const int fw = FrameWidth(), cap = CaptionHeight(), mh = MenuHeight();
    const int cw = ClientWidth(), ch = ClientHeight();
    bool fitted = false;
    if (!Parent() && FSizedByWindow) {
        // Sized or placed by the window manager (the user's frame, a maximized
        // window of whatever frame): the content takes the client area as it
        // is, and the window stays where it was put. The size constraints
        // still hold: a size beyond them goes back to what they allow. A
        // window fitted to a small screen keeps scrolling its content until
        // the window has room for all of it.
        fitted = Fitted() && (win->width() < cw || win->height() < ch + mh);
        if (!fitted) {
            ShowFitted(false, 0, 0);
            if (win->width() != cw || win->height() != ch + mh) win->resize(cw, ch + mh);
        }
    } else if (!Parent()) {
        // A window larger than the work area shows its content scrolling in
        // a window that fits.
        int winW = cw, winH = ch + mh;
        fitted = !FitWorkArea(winW, winH);
        const bool fixed = FBorderStyle == bsNone || FBorderStyle == bsSingle ||
                           FBorderStyle == bsDialog || FBorderStyle == bsToolWindow;
        if (fixed)
            win->setFixedSize(winW, winH);
        else {
            // The size constraints hold for the user's resizing too.
            const TSizeConstraints* k = Constraints();
            const int extraW = 2 * fw, extraH = cap + 2 * fw;
            win->setMinimumSize(std::min(winW, std::max(0, k->MinWidth() - extraW)),
                                std::min(winH, std::max(0, k->MinHeight() - extraH)));
            win->setMaximumSize(
                k->MaxWidth() > 0 ? std::max(0, k->MaxWidth() - extraW) : QWIDGETSIZE_MAX,
                k->MaxHeight() > 0 ? std::max(0, k->MaxHeight() - extraH) : QWIDGETSIZE_MAX);
        }
        // The frame is the window manager's, of whatever size: the window's
        // outer corner goes where Left and Top say, so a frame placed on the
        // screen stays on it.
        win->resize(winW, winH);
        win->move(Left(), Top());
        ShowFitted(fitted, winW, winH - mh);
    } else {
        ShowFitted(false, 0, 0);
        // Docked in another control: the size the window had as a fixed
        // window of its own must not hold it any more.
        win->setMinimumSize(0, 0);
        win->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        win->setGeometry(Left() + fw, Top() + cap + fw, cw, ch + mh);
    }
    if (fitted)
        Impl()->Client->resize(cw, ch);
    else
        Impl()->Client->setGeometry(0, mh, cw, ch);
    if (FMenuBar) {
        FMenuBar->setGeometry(0, 0, fitted ? win->width() : cw, mh);
        FMenuBar->setVisible(mh > 0);
    }
}

void TCustomForm::WindowResized(int ClientW, int WindowH) {
    const int mh = MenuHeight();
    // A fitted window shows part of its content: resizing it changes how much,
    // until all of it fits.
    if (Fitted() && (ClientW < ClientWidth() || WindowH < ClientHeight() + mh)) {
        FFitArea->setGeometry(0, mh, ClientW, std::max(0, WindowH - mh));
        if (FMenuBar) FMenuBar->setGeometry(0, 0, ClientW, mh);
        return;
    }
    const int fw = FrameWidth(), cap = CaptionHeight();
    const TSizedByWindow byWindow(FSizedByWindow);
    SetBounds(Left(), Top(), ClientW + 2 * fw, WindowH + cap + 2 * fw);
}

void TCustomForm::WindowMoved(int X, int Y) {
    const TSizedByWindow byWindow(FSizedByWindow);
    SetBounds(X, Y, Width(), Height());
}

void TCustomForm::ApplyWindowFlags() {
    QWidget* win = Widget();
    if (Parent()) return;
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint;
    switch (FBorderStyle) {
    case bsNone:
        f |= Qt::FramelessWindowHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        f = Qt::Tool | Qt::CustomizeWindowHint;
        break;
    case bsDialog:
        f = Qt::Dialog | Qt::CustomizeWindowHint;
        break;
    default:
        break;
    }
    if (FBorderStyle != bsNone) {
        f |= Qt::WindowTitleHint;
        if (FBorderIcons.Contains(biSystemMenu))
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (FBorderIcons.Contains(biMinimize) && FBorderStyle != bsDialog)
            f |= Qt::WindowMinimizeButtonHint;
        if (FBorderIcons.Contains(biMaximize) && FBorderStyle != bsDialog)
            f |= Qt::WindowMaximizeButtonHint;
        if (FBorderIcons.Contains(biHelp)) f |= Qt::WindowContextHelpButtonHint;
    }
    if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    // Only dialog-like windows are announced to the window manager as
    // transient for their owner.
    if ((FOwnerWindow || FFormState.Contains(fsModal)) && (f & Qt::WindowType_Mask) == Qt::Window)
        f = (f & ~Qt::WindowType_Mask) | Qt::Dialog;
    const bool shown = win->isVisible();
    win->setWindowFlags(f);
    if (shown) win->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    ApplyWindowFlags();
    ApplyGeometry();
    Realign();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (Parent() || !Visible()) return;
    QWidget* win = Widget();
    if (Value == wsMaximized)
        win->showMaximized();
    else if (Value == wsMinimized)
        win->showMinimized();
    else
        win->showNormal();
}

void TCustomForm::SetParent(TWinControl* AParent) {
    const bool wasTop = !Parent();
    TWinControl::SetParent(AParent);
    if (!AParent && !wasTop) {
        Widget()->setParent(nullptr, Qt::Window);
        ApplyWindowFlags();
    }
    ApplyGeometry();
    UpdateWidgetVisibility();
}

bool TCustomForm::WidgetShouldShow() const {
    return Visible() && !FFormState.Contains(fsShowing);
}

AnsiString TCustomForm::GetTextValue() const {
    return TWinControl::GetTextValue();
}

void TCustomForm::TextChanged() {
    Widget()->setWindowTitle(AnsiToQString(Caption()));
}

void TCustomForm::ApplyColor() {
    Invalidate();
}

TCanvas* TCustomForm::Canvas() const {
    if (!Impl()->Canvas)
        Impl()->Canvas = std::make_unique<TControlCanvas>(const_cast<TCustomForm*>(this));
    return Impl()->Canvas.get();
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::SetAutoSize(bool Value) {
    FAutoSize = Value;
    AdjustSize();
}

void TCustomForm::AdjustSize() {
    if (!FAutoSize) return;
    int left = INT_MAX, top = INT_MAX, right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        left = std::min(left, c->Left());
        top = std::min(top, c->Top());
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (left == INT_MAX) return;
    // Controls flush with the frame look cut: the margins they keep at the
    // left and top are kept at the right and bottom too.
    SetClientWidth(right + std::max(0, left));
    SetClientHeight(bottom + std::max(0, top));
}

void TCustomForm::PlaceByPosition() {
    if (Parent()) return;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
                  Height());
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = FPosition == poMainFormCenter ? Application->MainForm()
                                                          : dynamic_cast<TCustomForm*>(Owner());
        if (!over || over == this) over = nullptr;
        if (over)
            SetBounds(over->Left() + (over->Width() - Width()) / 2,
                      over->Top() + (over->Height() - Height()) / 2, Width(), Height());
        else
            SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
                      Height());
        break;
    }
    default:
        break;
    }
}

void TCustomForm::KeepOnWorkArea() {
    if (Parent()) return;
    const TRect area = Screen->WorkAreaRect();
    // The frame as shown: a fitted window's scroll bars may make it wider or
    // taller than its designed size.
    const int mh = MenuHeight();
    int shownW = ClientWidth(), shownH = ClientHeight() + mh;
    FitWorkArea(shownW, shownH);
    const int outerW = shownW + Width() - ClientWidth();
    const int outerH = shownH + Height() - ClientHeight() - mh;
    // Where the window cannot fit, its left and top edges stay on the screen:
    // the title bar and the menu are what the user needs to reach.
    const int left = std::max(area.Left, std::min(Left(), area.Right - outerW));
    const int top = std::max(area.Top, std::min(Top(), area.Bottom - outerH));
    if (left != Left() || top != Top()) SetBounds(left, top, Width(), Height());
}

void TCustomForm::SetActiveState(bool Value) {
    if (Value) {
        if (Screen->FActiveForm == this && FActive) return;
        TCustomForm* old = Screen->FActiveForm;
        if (old && old != this) old->SetActiveState(false);
        Screen->FActiveForm = this;
        FActive = true;
        Activate();
    } else {
        if (!FActive) return;
        FActive = false;
        if (Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
        Deactivate();
    }
}

void TCustomForm::SetVisible(bool Value) {
    if (Value) {
        if (Visible()) {
            if (!Parent()) BringToFront();
            return;
        }
        // A window opened over another stays above it, as a modal one does.
        if (!Parent() && !FFormState.Contains(fsModal))
            SetWindowOwner(Application->MainForm() == this ? nullptr : Opener(Screen->ActiveForm()),
                           false);
        FFormState << fsShowing;
        {
            // OnShow may free the form: it is then left as it is.
            struct Done {
                TWatched<TCustomForm> f;
                ~Done() {
                    if (f) f->FFormState >> fsShowing;
                }
            } done{this};
            TWinControl::SetVisible(true);
            TCallOut held{this};
            DoShow();
            if (held.Gone()) return;
            AdjustSize();
            PlaceByPosition();
            KeepOnWorkArea();
            // Fitted to the work area as it is now.
            ApplyGeometry();
        }
        UpdateWidgetVisibility();
        ApplyViewWanted();
        if (!Parent()) {
            if (FWindowState != wsNormal) SetWindowState(FWindowState);
            RaiseWindow();
            SetActiveState(true);
            if (!FActiveControl)
                SelectFirst();
            else
                EnterActiveControl();
        }
    } else {
        if (!Visible()) return;
        DoHide();
        // Before the unmap, so the window manager never sees a window above
        // one that is gone.
        PassOwnedWindows();
        TWinControl::SetVisible(false);
        if (FActive) {
            SetActiveState(false);
            // The platform activates another window of the application.
            TCustomForm* next = nullptr;
            for (auto it = Screen->FForms.rbegin(); it != Screen->FForms.rend(); ++it)
                if (*it != this && (*it)->Visible() && !(*it)->Parent() &&
                    (*it)->Widget()->isEnabled()) {
                    next = *it;
                    break;
                }
            if (next) next->SetActiveState(true);
        }
    }
}

void TCustomForm::BringToFront() {
    if (Parent()) {
        TWinControl::BringToFront();
        return;
    }
    if (Visible()) {
        RaiseWindow();
        SetActiveState(true);
    }
}

void TCustomForm::RaiseWindow() {
    // Headless platforms have no window stacking to change.
    if (IsHeadless()) return;
    Widget()->raise();
    Widget()->activateWindow();
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (TControl* c = GetCaptureControl()) c->SetMouseCapture(false);
    // The loop below may free any of these forms, this one too: each is read
    // again through its handle once the loop ends.
    TWatched<TCustomForm> previous = Screen->ActiveForm();
    std::vector<TWatched<TCustomForm>> disabled;
    for (TCustomForm* f : Screen->FForms)
        if (f != this && !f->Parent() && f->Visible() && !f->Impl()->TaskDisabled) {
            f->Impl()->TaskDisabled = true;
            f->ApplyEnabled();
            disabled.emplace_back(f);
        }
    FFormState << fsModal;
    FModalResult = mrNone;
    struct Restore {
        TWatched<TCustomForm> self;
        std::vector<TWatched<TCustomForm>>& disabled;
        TWatched<TCustomForm> previous;
        ~Restore() {
            for (TCustomForm* f : disabled)
                if (f) {
                    f->Impl()->TaskDisabled = false;
                    f->ApplyEnabled();
                }
            // Handlers run here may fail; they are shown, never thrown out of
            // this clean-up.
            if (TCustomForm* s = self) {
                RunAsMessage(s, [s] { s->SetVisible(false); });
                if (TCustomForm* still = self) {
                    still->FFormState >> fsModal;
                    still->SetWindowOwner(nullptr, false);
                }
            }
            TCustomForm* p = previous;
            if (p && p->Visible())
                RunAsMessage(p, [this] {
                    if (TCustomForm* q = previous) q->SetActiveState(true);
                });
        }
    } restore{this, disabled, previous};
    SetWindowOwner(Opener(previous), true);
    // Showing runs the form's own handlers, which may free it too.
    TCallOut held{this};
    SetVisible(true);
    if (held.Gone()) return mrCancel;
    do {
        Application->HandleMessage();
        if (held.Gone()) return mrCancel;
        if (Application->Terminated())
            FModalResult = mrCancel;
        else if (FModalResult != mrNone) {
            CloseModal();
            if (held.Gone()) return mrCancel;
        }
    } while (restore.self && FModalResult == mrNone);
    if (!restore.self) return mrCancel;
    return FModalResult;
}

TCustomForm* TCustomForm::Opener(TCustomForm* Active) const {
    auto shownWindow = [this](TCustomForm* f) {
        return f && f != this && !f->Parent() && f->Visible() ? f : nullptr;
    };
    if (TCustomForm* f = shownWindow(Active)) return f;
    for (TComponent* c = Owner(); c; c = c->Owner())
        if (TCustomForm* f = shownWindow(dynamic_cast<TCustomForm*>(c))) return f;
    return shownWindow(Application->MainForm());
}

namespace {
// Names the owner of a window when it is made native, before it is
// mapped: a window made native earlier would lose its frame's placement.
class TTransientOwner : public QObject {
public:
    static constexpr const char* Name = "qm_transient_owner";
    TTransientOwner(QWidget* Window, QWindow* Owner) : QObject(Window), FOwner(Owner) {
        setObjectName(Name);
        Window->installEventFilter(this);
    }
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::Show)
            if (QWindow* handle = static_cast<QWidget*>(Watched)->windowHandle())
                handle->setTransientParent(FOwner);
        return false;
    }

private:
    QPointer<QWindow> FOwner;
};

// Qt tells an X window manager a window's owner only when it maps the window;
// a shown window that passes to another owner is told here.
void AnnounceShownOwner(QWindow* Window, QWindow* Owner) {
#ifdef QM_X11_OWNERS
    if (QGuiApplication::platformName() != "xcb" || !Window->handle() || !Window->isVisible())
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(Window->winId());
    if (Owner && Owner->handle()) {
        const auto owner = static_cast<xcb_window_t>(Owner->winId());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &owner);
    } else {
        xcb_delete_property(c, id, XCB_ATOM_WM_TRANSIENT_FOR);
    }
    xcb_flush(c);
#else
    (void)Window;
    (void)Owner;
#endif
}
} // namespace

void TCustomForm::SetWindowOwner(TCustomForm* Opener, bool Modal) {
    if (Parent()) return;
    QWidget* win = Widget();
    // The window manager keeps a transient window above its owner, so a click
    // on the owner (disabled while the window works) cannot bury it.
    FOwnerWindow = Opener;
    ApplyWindowFlags();
    win->setWindowModality(Opener && Modal ? Qt::WindowModal : Qt::NonModal);
    // Found by name: the class has no meta-object of its own to cast by.
    delete win->findChild<QObject*>(TTransientOwner::Name, Qt::FindDirectChildrenOnly);
    QWindow* owner = Opener ? Opener->Widget()->window()->windowHandle() : nullptr;
    if (owner) new TTransientOwner(win, owner);
    if (QWindow* handle = win->windowHandle()) {
        handle->setTransientParent(owner);
        AnnounceShownOwner(handle, owner);
    }
}

TCustomForm* TCustomForm::WindowBelow() const {
    // Owners are shown windows, so the chain is short; the bound only guards
    // against a loop.
    size_t steps = Screen->FForms.size();
    for (TCustomForm* f = FOwnerWindow; f && steps; f = f->FOwnerWindow, --steps)
        if (f != this && f->Visible()) return f;
    TCustomForm* main = Application->MainForm();
    return main && main != this && main->Visible() ? main : nullptr;
}

void TCustomForm::PassOwnedWindows() {
    TCustomForm* below = WindowBelow();
    for (TCustomForm* f : Screen->FForms)
        if (f != this && f->FOwnerWindow.Is(this))
            f->SetWindowOwner(below, f->FFormState.Contains(fsModal));
}

void TCustomForm::CloseModal() {
    // Cancel takes back what the dialog changed; any other end keeps the
    // figure still being typed.
    if (!(FModalResult == mrCancel && CancelButton())) {
        TCallOut held{this};
        const bool applied = ApplyFocusedEntry();
        if (held.Gone()) return;
        if (!applied) {
            FModalResult = mrNone;
            return;
        }
    }
    // OnCloseQuery and OnClose may ask the user, or free the form.
    TCallOut held{this};
    TCloseAction action = caNone;
    const bool can = CloseQuery();
    if (held.Gone()) return;
    if (can) {
        action = caHide;
        DoClose(action);
        if (held.Gone()) return;
    }
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        Release();
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    // The entry applied, OnCloseQuery and OnClose may ask the user, or free the form.
    TCallOut held{this};
    if (!ApplyFocusedEntry() || held.Gone()) return;
    if (!CloseQuery() || held.Gone()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (held.Gone() || action == caNone) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        SetVisible(false);
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

bool TCustomForm::CloseQuery() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Release() {
    Application->AddRelease(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value) return;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value) Value->FreeNotification(this);
    MenuChanged();
}

void TCustomForm::MenuChanged() {
    if (FMenu && !FMenuBar) {
        auto* bar = new QMenuBar(Widget());
        bar->setNativeMenuBar(false);
        FMenuBar = bar;
    }
    if (auto* bar = static_cast<QMenuBar*>(FMenuBar)) {
        bar->clear();
        if (FMenu) {
            TMenuItem* items = FMenu->Items();
            for (int i = 0; i < items->Count(); ++i)
                bar->addAction(items->Items(i)->Action());
        }
    }
    ApplyGeometry();
    Impl()->Dirty = true;
    Realign();
}
