#pragma once
// One way for a page to tie its controls to what they edit: each control is
// read from its getter when the page loads and written through its setter
// when the user changes it; one loading guard keeps the load from echoing
// back as writes. After any write every loaded binder shows its values
// again, so two controls of one property never disagree.
#include "platform/classes/component.h"
#include "platform/rtl/ansistring.h"
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TCheckBox;
class TComboBox;
class TEdit;
class TPageControl;
class TRadioButton;
class TRadioGroup;
class TSpeedButton;
class TUpDown;

// Marks a page as loading while alive; restores the earlier state, so guards nest.
class TLoadGuard {
public:
    explicit TLoadGuard(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TLoadGuard() {
        if (FArmed) FFlag = FOld;
    }
    // The flag's owner has gone: nothing is put back.
    void Disarm() { FArmed = false; }
    TLoadGuard(const TLoadGuard&) = delete;
    TLoadGuard& operator=(const TLoadGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
    bool FArmed = true;
};

class TControlBinder : public TPersistent {
public:
    // CanWrite, when given, is asked before each write (a page without its
    // object yet writes nothing). Nothing is written before the first Load.
    // A binding without a getter only writes; the page reads that control
    // itself, under Guard().
    explicit TControlBinder(std::function<bool()> CanWrite = {});
    // Bound controls still alive when the binder goes get their handlers
    // taken back first, so no late change reaches a page that is already
    // gone; a control freed before (docked elsewhere) is forgotten.
    ~TControlBinder() override;
    TControlBinder(const TControlBinder&) = delete;
    TControlBinder& operator=(const TControlBinder&) = delete;

    bool Loading() const { return FLoading; }
    [[nodiscard]] TLoadGuard Guard() { return TLoadGuard(FLoading); }

    void Check(TCheckBox* C, std::function<bool()> Get, std::function<void(bool)> Set);
    // Writes whether the button is checked after each click on it.
    void Check(TRadioButton* R, std::function<bool()> Get, std::function<void(bool)> Set);
    // Writes only a whole number; the setter keeps its own limits.
    void UpDown(TUpDown* U, std::function<int()> Get, std::function<void(int)> Set);
    void Text(TEdit* E, std::function<AnsiString()> Get,
              std::function<void(const AnsiString&)> Set);
    // A list the user may also type in: writes its text, chosen or typed.
    void Text(TComboBox* C, std::function<AnsiString()> Get,
              std::function<void(const AnsiString&)> Set);
    // Writes only when an item is chosen.
    void Index(TComboBox* C, std::function<int()> Get, std::function<void(int)> Set);
    void Index(TRadioGroup* R, std::function<int()> Get, std::function<void(int)> Set);
    // A toggle button: writes whether it is down after each click.
    void Down(TSpeedButton* B, std::function<bool()> Get, std::function<void(bool)> Set);
    // The page the user turns to, by index; a page turned to by code writes nothing.
    void Index(TPageControl* P, std::function<int()> Get, std::function<void(int)> Set);

    // Reads every bound control from its getter, guarded; writes are allowed after.
    void Load();

    // Reads, guarded, what the page shows outside its bindings; run with the
    // bound controls whenever another binder writes.
    std::function<void()> OnRefresh;

private:
    bool CanWrite() const { return !FLoading && (!FCanWrite || FCanWrite()); }
    // Every write of a user's change: Set, then the other controls shown again.
    void Write(TComponent* Source, const std::function<void()>& Set);
    void AddUnbinder(TComponent* C, std::function<void()> Unbind);
    void AddLoader(TComponent* C, std::function<void()> Load);
    // Run after a control's setter: every loaded binder that may write shows
    // its values again; the control the user is typing in keeps its text.
    void Written(TComponent* Source);
    // The page that wrote is not refilled: it holds what the user is at (the
    // item chosen to edit), which a refill would take back.
    void Refresh(TComponent* Source, bool Refill);

    bool FLoading = true;
    bool FLoaded = false;
    std::function<bool()> FCanWrite;
    std::vector<std::pair<TComponent*, std::function<void()>>> FLoaders;
    std::vector<std::pair<TComponent*, std::function<void()>>> FUnbinders;
    std::unique_ptr<TComponent> FWatch;
};
