#include "platform/forms/modalwatch.h"
#include "platform/forms/systemwindow.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>

QM_CLASS_ABSTRACT(TFreeWatch, TComponent)

TFreeWatch::TFreeWatch(std::initializer_list<TComponent*> Watched) : TComponent(nullptr) {
    for (TComponent* c : Watched)
        if (c && std::find(FWatched.begin(), FWatched.end(), c) == FWatched.end()) {
            FWatched.push_back(c);
            c->FreeNotification(this);
        }
}

TFreeWatch::~TFreeWatch() {
    for (TComponent* c : FWatched)
        c->RemoveFreeNotification(this);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    auto it = std::find(FWatched.begin(), FWatched.end(), AComponent);
    if (it == FWatched.end()) return;
    FWatched.erase(it);
    FGone = true;
    if (OnGone) OnGone(AComponent);
}

struct TWatchedWindow {
    bool Gone = false;
    bool OuterGone = false;
};

namespace {
// The windows shown through ShowModalWatching, innermost last.
std::vector<TWatchedWindow*> GShown;
} // namespace

TWatchedWindow* InnermostWatchedWindow() {
    return GShown.empty() ? nullptr : GShown.back();
}

bool WatchedWindowLost(const TWatchedWindow* Window) {
    return Window && (Window->Gone || Window->OuterGone);
}

TModalOutcome ShowModalWatching(TCustomForm* Form, std::initializer_list<TComponent*> Watched,
                                TComponent* Caller) {
    TFreeWatch watch(Watched);
    TFreeWatch callerWatch({Caller});
    TComponent* owner = Form->Owner();
    TFreeWatch ownerWatch({owner});
    std::vector<TCustomForm*> outer;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormState().Contains(fsModal)) outer.push_back(Screen->Forms(i));
    TWatchedWindow shown;
    GShown.push_back(&shown);
    struct TPop {
        ~TPop() { GShown.pop_back(); }
    } pop;
    auto closeNow = [&] {
        shown.Gone = true;
        // The windows it opened in turn (a pen of the chart, a series' gallery)
        // are about the same things; their close queries would ask about an
        // object that is no more.
        for (auto it = std::find(GShown.begin(), GShown.end(), &shown) + 1; it != GShown.end();
             ++it)
            (*it)->OuterGone = true;
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (!f->FormState().Contains(fsModal) ||
                std::find(outer.begin(), outer.end(), f) != outer.end())
                continue;
            f->OnCloseQuery = nullptr;
            f->SetModalResult(mrCancel);
        }
        Form->OnCloseQuery = nullptr;
        Form->SetModalResult(mrCancel);
        CancelSystemWindows();
    };
    watch.OnGone = [&](TComponent*) { closeNow(); };
    callerWatch.OnGone = [&](TComponent*) { closeNow(); };
    // An owner is told before it frees what it owns: the caller's form stays.
    ownerWatch.OnGone = [&](TComponent*) {
        owner->RemoveComponent(Form);
        Form->Reprieve();
        closeNow();
    };
    TModalOutcome outcome;
    outcome.Result = Form->ShowModal();
    // Its caller went, or a window under it lost what it was about: the
    // handler that opened it must not go on; the silent abort ends it.
    if (callerWatch.Gone() || (shown.OuterGone && !shown.Gone)) throw EAbort("");
    outcome.Gone = shown.Gone;
    if (shown.Gone) outcome.Result = mrCancel;
    return outcome;
}
