#pragma once
// Walking the controls of an editor page as the sweeps do: every control
// under a root, whether a user can reach one, turning to the tabs it sits on,
// opening every tab once, and a control's path for a failure.
#include "platform/forms/comctrls.h"
#include "platform/forms/controls.h"
#include "platform/forms/extctrls.h"
#include <functional>
#include <set>
#include <string>
#include <vector>

// Every control under Root, parents first. A radio group's buttons are the group's.
inline void WalkControls(TWinControl* Root, const std::function<void(TControl*)>& Visit) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        TControl* c = Root->Controls(i);
        Visit(c);
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !dynamic_cast<TRadioGroup*>(c))
            WalkControls(w, Visit);
    }
}

inline std::vector<TControl*> ControlsUnder(TWinControl* Root) {
    std::vector<TControl*> out;
    WalkControls(Root, [&](TControl* c) { out.push_back(c); });
    return out;
}

// Enabled and shown once its tabs are turned to.
inline bool Usable(TControl* C) {
    for (; C; C = C->Parent())
        if (!C->Enabled() || (!C->Visible() && !dynamic_cast<TTabSheet*>(C))) return false;
    return true;
}

// Turns to every tab the control sits on, outermost first, as the user picks
// them; a tab the page control refuses to the user is shown all the same.
inline void Reach(TControl* C) {
    std::vector<TTabSheet*> tabs;
    for (; C; C = C->Parent())
        if (auto* t = dynamic_cast<TTabSheet*>(C)) tabs.push_back(t);
    for (auto t = tabs.rbegin(); t != tabs.rend(); ++t)
        if ((*t)->PageControl() && (*t)->PageControl()->ActivePage() != *t &&
            !(*t)->PageControl()->SelectPageByUser(*t))
            (*t)->PageControl()->SetActivePage(*t);
}

// Picks every tab under Root once, those a picked tab makes too, so every
// page is made and holds its part of what it edits.
inline void OpenEveryTab(TWinControl* Root) {
    std::set<TTabSheet*> seen;
    for (bool more = true; more;) {
        more = false;
        for (TControl* c : ControlsUnder(Root))
            if (auto* t = dynamic_cast<TTabSheet*>(c);
                t && t->PageControl() && seen.insert(t).second) {
                t->PageControl()->SelectPageByUser(t);
                more = true;
            }
    }
}

// The names of the control and its named parents, for a failure.
inline std::string PathOf(TControl* C) {
    std::string p;
    for (; C; C = C->Parent())
        if (!C->Name().IsEmpty()) p = std::string(C->Name().c_str()) + (p.empty() ? "" : "." + p);
    return p;
}
