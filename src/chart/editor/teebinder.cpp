#include "chart/editor/teebinder.h"
#include "chart/control/teenumedit.h"

#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/classes/watched.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <utility>

namespace {
std::vector<TControlBinder*>& LiveBinders() {
    static std::vector<TControlBinder*> binders;
    return binders;
}

// Hears when a bound control is freed.
class TBoundControlWatch : public TComponent {
public:
    explicit TBoundControlWatch(std::function<void(TComponent*)> AGone)
        : TComponent(nullptr), FGone(std::move(AGone)) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) FGone(AComponent);
    }

private:
    std::function<void(TComponent*)> FGone;
};
} // namespace

TControlBinder::TControlBinder(std::function<bool()> ACanWrite)
    : FCanWrite(std::move(ACanWrite)),
      FWatch(std::make_unique<TBoundControlWatch>([this](TComponent* C) {
          std::erase_if(FUnbinders, [C](const auto& u) { return u.first == C; });
          std::erase_if(FLoaders, [C](const auto& l) { return l.first == C; });
      })) {
    LiveBinders().push_back(this);
}

TControlBinder::~TControlBinder() {
    EndWatches();
    std::erase(LiveBinders(), this);
    for (const auto& [control, unbind] : FUnbinders) {
        unbind();
        control->RemoveFreeNotification(FWatch.get());
    }
    for (const auto& loader : FLoaders)
        loader.first->RemoveFreeNotification(FWatch.get());
}

void TControlBinder::AddUnbinder(TComponent* C, std::function<void()> Unbind) {
    C->FreeNotification(FWatch.get());
    FUnbinders.emplace_back(C, std::move(Unbind));
}

void TControlBinder::AddLoader(TComponent* C, std::function<void()> Load) {
    C->FreeNotification(FWatch.get());
    FLoaders.emplace_back(C, std::move(Load));
}

void TControlBinder::Check(TCheckBox* C, std::function<bool()> Get, std::function<void(bool)> Set) {
    C->OnClick = [this, C, Set = std::move(Set)](TObject*) { Write(C, [&] { Set(C->Checked()); }); };
    if (Get) AddLoader(C, [C, Get = std::move(Get)] { C->SetChecked(Get()); });
    AddUnbinder(C, [C] { C->OnClick = nullptr; });
}

void TControlBinder::Check(TRadioButton* R, std::function<bool()> Get,
                           std::function<void(bool)> Set) {
    R->OnClick = [this, R, Set = std::move(Set)](TObject*) { Write(R, [&] { Set(R->Checked()); }); };
    if (Get) AddLoader(R, [R, Get = std::move(Get)] { R->SetChecked(Get()); });
    AddUnbinder(R, [R] { R->OnClick = nullptr; });
}

void TControlBinder::UpDown(TUpDown* U, std::function<int()> Get, std::function<void(int)> Set) {
    if (auto* edit = dynamic_cast<TEdit*>(U->Associate())) {
        edit->OnChange = [this, edit, U, Set = std::move(Set)](TObject*) {
            int v;
            if (TryStrToInt(Trim(edit->Text()), v)) Write(U, [&] { Set(v); });
        };
        AddUnbinder(edit, [edit] { edit->OnChange = nullptr; });
        if (auto* number = dynamic_cast<TNumberEdit*>(edit); number && Get) {
            // Left, the field shows what the object kept of the entry.
            number->HeldValue = [this, number, U, Get] {
                if (FCanWrite && !FCanWrite()) return number->HeldText();
                const int lo = std::min(U->Min(), U->Max()), hi = std::max(U->Min(), U->Max());
                return number->WholeText(std::clamp(Get(), lo, hi));
            };
            AddUnbinder(number, [number] { number->HeldValue = nullptr; });
        }
    }
    if (Get) AddLoader(U, [U, Get = std::move(Get)] { U->SetPosition(Get()); });
}

void TControlBinder::Text(TEdit* E, std::function<AnsiString()> Get,
                          std::function<void(const AnsiString&)> Set) {
    E->OnChange = [this, E, Set = std::move(Set)](TObject*) { Write(E, [&] { Set(E->Text()); }); };
    if (auto* number = dynamic_cast<TNumberEdit*>(E); number && Get) {
        number->HeldValue = [this, number, Get] {
            return FCanWrite && !FCanWrite() ? number->HeldText() : Get();
        };
        AddUnbinder(number, [number] { number->HeldValue = nullptr; });
    }
    if (Get) AddLoader(E, [E, Get = std::move(Get)] { E->SetText(Get()); });
    AddUnbinder(E, [E] { E->OnChange = nullptr; });
}

void TControlBinder::Text(TComboBox* C, std::function<AnsiString()> Get,
                          std::function<void(const AnsiString&)> Set) {
    C->OnChange = [this, C, Set = std::move(Set)](TObject*) { Write(C, [&] { Set(C->Text()); }); };
    if (Get) AddLoader(C, [C, Get = std::move(Get)] { C->SetText(Get()); });
    AddUnbinder(C, [C] { C->OnChange = nullptr; });
}

void TControlBinder::Index(TComboBox* C, std::function<int()> Get, std::function<void(int)> Set) {
    C->OnChange = [this, C, Set = std::move(Set)](TObject*) {
        if (C->ItemIndex() >= 0) Write(C, [&] { Set(C->ItemIndex()); });
    };
    if (Get) AddLoader(C, [C, Get = std::move(Get)] { C->SetItemIndex(Get()); });
    AddUnbinder(C, [C] { C->OnChange = nullptr; });
}

void TControlBinder::Index(TRadioGroup* R, std::function<int()> Get, std::function<void(int)> Set) {
    R->OnClick = [this, R, Set = std::move(Set)](TObject*) {
        if (R->ItemIndex() >= 0) Write(R, [&] { Set(R->ItemIndex()); });
    };
    if (Get) AddLoader(R, [R, Get = std::move(Get)] { R->SetItemIndex(Get()); });
    AddUnbinder(R, [R] { R->OnClick = nullptr; });
}

void TControlBinder::Index(TPageControl* P, std::function<int()> Get,
                           std::function<void(int)> Set) {
    P->OnChange = [this, P, Set = std::move(Set)](TObject*) {
        if (P->ActivePageIndex() >= 0) Write(P, [&] { Set(P->ActivePageIndex()); });
    };
    if (Get) AddLoader(P, [P, Get = std::move(Get)] { P->SetActivePageIndex(Get()); });
    AddUnbinder(P, [P] { P->OnChange = nullptr; });
}

void TControlBinder::Down(TSpeedButton* B, std::function<bool()> Get,
                          std::function<void(bool)> Set) {
    B->OnClick = [this, B, Set = std::move(Set)](TObject*) { Write(B, [&] { Set(B->Down()); }); };
    if (Get) AddLoader(B, [B, Get = std::move(Get)] { B->SetDown(Get()); });
    AddUnbinder(B, [B] { B->OnClick = nullptr; });
}

void TControlBinder::Write(TComponent* Source, const std::function<void()>& Set) {
    if (!CanWrite()) return;
    // The setter tells the object's handlers, which may free the page: its
    // controls, this binder and the handler running this go with it.
    TCallOut held{this, Source};
    Set();
    if (held.Gone()) return;
    Written(Source);
}

void TControlBinder::Load() {
    FLoading = true;
    for (const auto& load : FLoaders)
        load.second();
    FLoading = false;
    FLoaded = true;
}

void TControlBinder::Written(TComponent* Source) {
    static bool refreshing = false;
    // A setter may close the page, and a refresh must not write again.
    if (refreshing || std::ranges::find(LiveBinders(), this) == LiveBinders().end()) return;
    const TLoadGuard once(refreshing);
    auto* edit = dynamic_cast<TEdit*>(Source);
    const AnsiString typed = edit ? edit->Text() : AnsiString();
    // A copy: a refresh may free pages, whose binders leave the list.
    const std::vector<TControlBinder*> binders = LiveBinders();
    for (TControlBinder* b : binders)
        if (std::ranges::find(LiveBinders(), b) != LiveBinders().end()) b->Refresh(Source, b != this);
    if (edit && edit->Text() != typed) {
        const TLoadGuard guard(FLoading);
        edit->SetText(typed);
    }
}

void TControlBinder::Refresh(TComponent* Source, bool Refill) {
    if (!FLoaded || FLoading || (FCanWrite && !FCanWrite())) return;
    const TLoadGuard guard(FLoading);
    for (const auto& [control, load] : FLoaders)
        if (control != Source) load();
    if (Refill && OnRefresh) OnRefresh();
}
