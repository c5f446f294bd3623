#pragma once
// Shared fixture of the forms tests: a strict dialog responder, a fixed screen
// and a form that the test owns.
#include "platform/forms/forms.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>
#include <memory>

class FormsTest : public ::testing::Test {
protected:
    FormsTest() : Screen1024(1024, 768), Form(std::make_unique<TForm>(nullptr)) {
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
    }

    // A control of type T on the form (or on Parent).
    template <class T>
    T* Make(int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr) {
        auto* c = new T(Form.get());
        c->SetParent(Parent ? Parent : Form.get());
        c->SetBounds(Left, Top, Width, Height);
        return c;
    }

    TStrictResponder Responder;
    TScreenSizeScope Screen1024;
    std::unique_ptr<TForm> Form;
};

// Tells whether a component was freed.
class TLifeCheck : public TComponent {
public:
    explicit TLifeCheck(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) {
        Watched->FreeNotification(this);
    }
    ~TLifeCheck() override {
        if (FWatched) FWatched->RemoveFreeNotification(this);
    }
    bool Alive() const { return FWatched != nullptr; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FWatched) FWatched = nullptr;
    }

private:
    TComponent* FWatched;
};

// Counts calls of a notify event.
struct TCounter {
    int Count = 0;
    TNotifyEvent Handler() {
        return [this](TObject*) { ++Count; };
    }
};
