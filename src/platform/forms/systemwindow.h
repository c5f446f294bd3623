#pragma once
// Platform-internal: the dialogs and menus of the system (colour, font, file
// and print dialogs, message and input boxes, pop-up menus). Each shows
// modally over the active form through one routine: when that window, the
// dialog's owner or what it is about goes while it shows, it closes at once as
// Cancel, taken out of the going window, and only its maker frees it, once its
// loop has returned.
#include "platform/forms/modalwatch.h"
#include "platform/forms/testhooks.h"
#include <QPointer>
#include <QWidget>
#include <functional>
#include <initializer_list>

class QMenu;
class TCommonDialog;
struct TWatchedWindow;

class TSystemWindowScope {
public:
    // Dialog: the dialog component, whose owner's going closes the window (one
    // on a stack is then kept from that owner for its scope to free); About:
    // components whose going closes the window too.
    TSystemWindowScope(TDialogKind Kind, TCommonDialog* Dialog,
                       std::initializer_list<TComponent*> About = {});
    // When a window of ours under it lost what it was about, the silent abort
    // ends the handler that showed it (not while unwinding).
    ~TSystemWindowScope() noexcept(false);
    TSystemWindowScope(const TSystemWindowScope&) = delete;
    TSystemWindowScope& operator=(const TSystemWindowScope&) = delete;

    // The window it shows over (the active form's), nullptr without one.
    QWidget* Parent() const { return FOver; }
    // Runs Window's own loop through Exec and returns what Exec returns; a
    // test's driver acts from inside that loop first.
    int Run(QWidget* Window, const std::function<int()>& Exec);
    // Its window, its owner or what it is about went meanwhile: the answer is Cancel.
    bool Lost() const;
    // Closes it as Cancel; Detach takes it out of its parent window, which goes.
    void Close(bool Detach);

private:
    TDialogKind FKind;
    QPointer<QWidget> FOver;
    TWatched<TCustomForm> FOverForm;
    QPointer<QWidget> FWindow;
    TWatchedWindow* FUnder;
    int FUncaught;
    bool FLost = false;
    TFreeWatch FOwnerWatch;
    TFreeWatch FAboutWatch;
};

// The system windows shown over Going, or over a window inside it, close as
// Cancel and leave it before it is freed.
void ReleaseSystemWindowsOver(QWidget* Going);
// Every system window shown now closes as Cancel: the window of ours under
// them lost what it was about.
void CancelSystemWindows();
// True while a test's driver has the system windows shown for real, headless too.
bool SystemWindowsDriven();
// Frees a drop-down menu once the event that may be running in it has
// returned: an item's handler may free the menu it was chosen from.
void DisposeMenu(QMenu* Menu);

// modalwatch.cpp: the innermost window shown through ShowModalWatching, and
// whether it lost its objects (or a window under it did).
TWatchedWindow* InnermostWatchedWindow();
bool WatchedWindowLost(const TWatchedWindow* Window);
