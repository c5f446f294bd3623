#pragma once
// Windows shown about objects that may be freed while they are open: a timer or
// an event handler frees a chart, or the form that owns it closes. The watch
// hears of it; a window shown through ShowModalWatching then closes as
// cancelled, and its caller learns that it must not touch them any more.
#include "platform/classes/component.h"
#include "platform/forms/forms.h"
#include <functional>
#include <initializer_list>
#include <vector>

// Hears when any of the components it was given is freed.
class TFreeWatch : public TComponent {
    QM_CLASS(TFreeWatch)
public:
    explicit TFreeWatch(std::initializer_list<TComponent*> Watched);
    ~TFreeWatch() override;
    // One of them has gone.
    bool Gone() const { return FGone; }
    std::function<void(TComponent* Gone)> OnGone;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TComponent*> FWatched;
    bool FGone = false;
};

struct TModalOutcome {
    TModalResult Result = mrNone;
    // One of the watched was freed while the window was open (Result is then mrCancel).
    bool Gone = false;
    bool Ok() const { return !Gone && Result == mrOk; }
};

// Shows Form, which the caller holds and frees, modally. When one of Watched
// (nulls are skipped) or the form's owner is freed meanwhile, the window and
// those opened over it close at once as cancelled, whatever their close queries
// say; an owner that goes leaves the form to the caller. Caller, when given, is
// the component whose handler shows the window (a page of a larger window);
// when it goes, or when a window under this one lost its objects, the window
// closes so and the silent EAbort ends that handler.
TModalOutcome ShowModalWatching(TCustomForm* Form, std::initializer_list<TComponent*> Watched,
                                TComponent* Caller = nullptr);
