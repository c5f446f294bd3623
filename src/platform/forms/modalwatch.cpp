#include "platform/forms/modalwatch.h"
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

TModalOutcome ShowModalWatching(TCustomForm* Form, std::initializer_list<TComponent*> Watched) {
    TFreeWatch watch(Watched);
    TComponent* owner = Form->Owner();
    TFreeWatch ownerWatch({owner});
    bool gone = false;
    auto closeNow = [&] {
        gone = true;
        // Its close query would ask about an object that is no more.
        Form->OnCloseQuery = nullptr;
        Form->SetModalResult(mrCancel);
    };
    watch.OnGone = [&](TComponent*) { closeNow(); };
    // An owner is told before it frees what it owns: the caller's form stays.
    ownerWatch.OnGone = [&](TComponent*) {
        owner->RemoveComponent(Form);
        closeNow();
    };
    TModalOutcome outcome;
    outcome.Result = Form->ShowModal();
    outcome.Gone = gone;
    if (gone) outcome.Result = mrCancel;
    return outcome;
}
