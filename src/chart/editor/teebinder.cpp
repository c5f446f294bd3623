#include "chart/editor/teebinder.h"
#include "chart/control/teenumedit.h"

#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <utility>

TControlBinder::TControlBinder(std::function<bool()> ACanWrite) : FCanWrite(std::move(ACanWrite)) {}

TControlBinder::~TControlBinder() {
    for (const auto& unbind : FUnbinders)
        unbind();
}

void TControlBinder::Check(TCheckBox* C, std::function<bool()> Get, std::function<void(bool)> Set) {
    C->OnClick = [this, C, Set = std::move(Set)](TObject*) {
        if (CanWrite()) Set(C->Checked());
    };
    if (Get) FLoaders.push_back([C, Get = std::move(Get)] { C->SetChecked(Get()); });
    FUnbinders.push_back([C] { C->OnClick = nullptr; });
}

void TControlBinder::UpDown(TUpDown* U, std::function<int()> Get, std::function<void(int)> Set) {
    if (auto* edit = dynamic_cast<TEdit*>(U->Associate())) {
        edit->OnChange = [this, edit, Set = std::move(Set)](TObject*) {
            int v;
            if (CanWrite() && TryStrToInt(Trim(edit->Text()), v)) Set(v);
        };
        FUnbinders.push_back([edit] { edit->OnChange = nullptr; });
        if (auto* number = dynamic_cast<TNumberEdit*>(edit); number && Get) {
            // Left, the field shows what the object kept of the entry.
            number->HeldValue = [this, number, U, Get] {
                if (FCanWrite && !FCanWrite()) return number->HeldText();
                const int lo = std::min(U->Min(), U->Max()), hi = std::max(U->Min(), U->Max());
                return number->WholeText(std::clamp(Get(), lo, hi));
            };
            FUnbinders.push_back([number] { number->HeldValue = nullptr; });
        }
    }
    if (Get) FLoaders.push_back([U, Get = std::move(Get)] { U->SetPosition(Get()); });
}

void TControlBinder::Text(TEdit* E, std::function<AnsiString()> Get,
                          std::function<void(const AnsiString&)> Set) {
    E->OnChange = [this, E, Set = std::move(Set)](TObject*) {
        if (CanWrite()) Set(E->Text());
    };
    if (auto* number = dynamic_cast<TNumberEdit*>(E); number && Get) {
        number->HeldValue = [this, number, Get] {
            return FCanWrite && !FCanWrite() ? number->HeldText() : Get();
        };
        FUnbinders.push_back([number] { number->HeldValue = nullptr; });
    }
    if (Get) FLoaders.push_back([E, Get = std::move(Get)] { E->SetText(Get()); });
    FUnbinders.push_back([E] { E->OnChange = nullptr; });
}

void TControlBinder::Index(TComboBox* C, std::function<int()> Get, std::function<void(int)> Set) {
    C->OnChange = [this, C, Set = std::move(Set)](TObject*) {
        if (CanWrite() && C->ItemIndex() >= 0) Set(C->ItemIndex());
    };
    if (Get) FLoaders.push_back([C, Get = std::move(Get)] { C->SetItemIndex(Get()); });
    FUnbinders.push_back([C] { C->OnChange = nullptr; });
}

void TControlBinder::Index(TRadioGroup* R, std::function<int()> Get, std::function<void(int)> Set) {
    R->OnClick = [this, R, Set = std::move(Set)](TObject*) {
        if (CanWrite() && R->ItemIndex() >= 0) Set(R->ItemIndex());
    };
    if (Get) FLoaders.push_back([R, Get = std::move(Get)] { R->SetItemIndex(Get()); });
    FUnbinders.push_back([R] { R->OnClick = nullptr; });
}

void TControlBinder::Down(TSpeedButton* B, std::function<bool()> Get,
                          std::function<void(bool)> Set) {
    B->OnClick = [this, B, Set = std::move(Set)](TObject*) {
        if (CanWrite()) Set(B->Down());
    };
    if (Get) FLoaders.push_back([B, Get = std::move(Get)] { B->SetDown(Get()); });
    FUnbinders.push_back([B] { B->OnClick = nullptr; });
}

void TControlBinder::Load() {
    FLoading = true;
    for (const auto& load : FLoaders)
        load();
    FLoading = false;
}
