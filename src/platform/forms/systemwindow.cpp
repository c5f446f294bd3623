// The one routine that shows the system's dialogs and menus, the registry of
// those shown now, and the test driver that acts inside their loops.
#include "platform/forms/systemwindow.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/formsqt.h"
#include "platform/rtl/exceptions.h"
#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <vector>

namespace {
// The system windows being shown, innermost last.
std::vector<TSystemWindowScope*> GSystemShown;
TSystemWindowDriver* GDriver = nullptr;
} // namespace

TSystemWindowScope::TSystemWindowScope(TDialogKind Kind, TCommonDialog* Dialog,
                                       std::initializer_list<TComponent*> About)
    : FKind(Kind), FUnder(InnermostWatchedWindow()), FUncaught(std::uncaught_exceptions()),
      FOwnerWatch({Dialog ? Dialog->Owner() : nullptr}), FAboutWatch(About) {
    EnsureQtApplication();
    if (TCustomForm* f = Screen->ActiveForm()) {
        FOverForm = f;
        FOver = f->Widget();
    }
    // An owner is told before it frees what it owns: one on a stack is taken
    // out, which its owner would free as if made by new.
    FOwnerWatch.OnGone = [this, Dialog](TComponent* Owner) {
        if (!Dialog->MadeOnHeap()) {
            Owner->RemoveComponent(Dialog);
            Dialog->Reprieve();
        }
        Close(false);
    };
    FAboutWatch.OnGone = [this](TComponent*) { Close(false); };
    GSystemShown.push_back(this);
}

TSystemWindowScope::~TSystemWindowScope() noexcept(false) {
    GSystemShown.erase(std::remove(GSystemShown.begin(), GSystemShown.end(), this),
                       GSystemShown.end());
    // Its answer must not be acted on: the handler that showed it ends here.
    if (WatchedWindowLost(FUnder) && std::uncaught_exceptions() == FUncaught) throw EAbort("");
}

bool TSystemWindowScope::Lost() const {
    return FLost || FOverForm.Gone() || FOwnerWatch.Gone() || FAboutWatch.Gone() ||
           WatchedWindowLost(FUnder);
}

void TSystemWindowScope::Close(bool Detach) {
    FLost = true;
    QWidget* w = FWindow;
    if (!w) return;
    if (auto* dialog = qobject_cast<QDialog*>(w))
        dialog->reject();
    else
        w->hide(); // a menu's loop ends as it hides
    // Out of the going window, which would free it under its own loop.
    if (Detach && w->parentWidget()) w->setParent(nullptr, w->windowFlags());
}

namespace {

// What a test does to a system window while it shows.
class TShownImpl : public TShownSystemWindow {
public:
    TShownImpl(QWidget* Window, TDialogKind Kind) : FWindow(Window), FKind(Kind) {}
    TDialogKind Kind() const override { return FKind; }
    bool Showing() const override { return FWindow && FWindow->isVisible(); }

    void Key(WORD Key, TShiftState Shift) override {
        const Qt::KeyboardModifiers mods = QtModifiersFromShift(Shift);
        const int key = VKToQtKey(Key);
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QWidget* to = Target();
            if (!to) return;
            QKeyEvent e(type, key, mods);
            QApplication::sendEvent(to, &e);
        }
    }

    void ClickItem(int Index) override {
        auto* menu = qobject_cast<QMenu*>(FWindow.data());
        if (!menu || Index < 0 || Index >= menu->actions().size()) return;
        const QPoint at = menu->actionGeometry(menu->actions().at(Index)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            if (!FWindow) return;
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent e(type, QPointF(at), QPointF(FWindow->mapToGlobal(at)), Qt::LeftButton,
                          held, Qt::NoModifier);
            QApplication::sendEvent(FWindow, &e);
        }
    }

    void Accept(const AnsiString& Text) override {
        if (auto* box = qobject_cast<QMessageBox*>(FWindow.data())) {
            QAbstractButton* ok = box->buttons().isEmpty() ? nullptr : box->buttons().front();
            for (QAbstractButton* b : box->buttons()) {
                const QMessageBox::ButtonRole role = box->buttonRole(b);
                if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) ok = b;
            }
            if (ok) ok->click();
            return;
        }
        if (auto* colour = qobject_cast<QColorDialog*>(FWindow.data()); colour && !Text.IsEmpty())
            colour->setCurrentColor(QColor(AnsiToQString(Text)));
        if (auto* input = qobject_cast<QInputDialog*>(FWindow.data()); input && !Text.IsEmpty())
            input->setTextValue(AnsiToQString(Text));
        if (auto* files = qobject_cast<QFileDialog*>(FWindow.data()); files && !Text.IsEmpty())
            files->selectFile(AnsiToQString(Text));
        if (auto* dialog = qobject_cast<QDialog*>(FWindow.data())) {
            dialog->accept();
            // A file dialog refuses a name it would not take from a user either.
            if (FWindow && dialog->isVisible()) dialog->done(QDialog::Accepted);
        } else {
            Key(VK_RETURN, {});
        }
    }

    void Cancel() override {
        if (auto* dialog = qobject_cast<QDialog*>(FWindow.data()))
            dialog->reject();
        else if (FWindow)
            FWindow->hide();
    }

private:
    // The widget that has the window's focus, else the window.
    QWidget* Target() const {
        if (!FWindow) return nullptr;
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == FWindow || FWindow->isAncestorOf(focus))) return focus;
        if (QWidget* own = FWindow->focusWidget()) return own;
        return FWindow;
    }
    QPointer<QWidget> FWindow;
    TDialogKind FKind;
};

} // namespace

int TSystemWindowScope::Run(QWidget* Window, const std::function<int()>& Exec) {
    FWindow = Window;
    if (GDriver) {
        std::function<void(TShownSystemWindow&)> action = GDriver->Next(FKind);
        const TDialogKind kind = FKind;
        QTimer::singleShot(0, Window, [Window, kind, action] {
            TShownImpl shown(Window, kind);
            if (action) action(shown);
            // Left open: nobody would answer it.
            if (shown.Showing()) shown.Cancel();
        });
    }
    const int result = Exec();
    FWindow = nullptr;
    return result;
}

void ReleaseSystemWindowsOver(QWidget* Going) {
    // Innermost first: a window shown over another closes before it.
    const std::vector<TSystemWindowScope*> shown = GSystemShown;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        if (std::find(GSystemShown.begin(), GSystemShown.end(), *it) == GSystemShown.end())
            continue;
        QWidget* over = (*it)->Parent();
        if (over && (over == Going || Going->isAncestorOf(over))) (*it)->Close(true);
    }
}

void CancelSystemWindows() {
    const std::vector<TSystemWindowScope*> shown = GSystemShown;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if (std::find(GSystemShown.begin(), GSystemShown.end(), *it) != GSystemShown.end())
            (*it)->Close(false);
}

bool SystemWindowsDriven() {
    return GDriver != nullptr;
}

void DisposeMenu(QMenu* Menu) {
    if (!Menu) return;
    // The item chosen hid it before its handler ran: shown or not, it may be
    // in the middle of its own event.
    Menu->disconnect(); // nothing of its maker is called any more
    Menu->hide();
    Menu->deleteLater();
}

// ---------------------------------------------------------------------------
// TSystemWindowDriver

TSystemWindowDriver::TSystemWindowDriver() : FPrevious(GDriver) {
    GDriver = this;
}

TSystemWindowDriver::~TSystemWindowDriver() {
    GDriver = FPrevious;
}

TSystemWindowDriver* TSystemWindowDriver::Current() {
    return GDriver;
}

TSystemWindowDriver& TSystemWindowDriver::Then(std::function<void(TShownSystemWindow&)> Action) {
    FActions.push_back(std::move(Action));
    return *this;
}

std::function<void(TShownSystemWindow&)> TSystemWindowDriver::Next(TDialogKind Kind) {
    FShown.push_back(Kind);
    if (FActions.empty()) return nullptr;
    std::function<void(TShownSystemWindow&)> action = std::move(FActions.front());
    FActions.pop_front();
    return action;
}
