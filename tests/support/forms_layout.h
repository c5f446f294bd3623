#pragma once
// A resizable window laid out in the space it has: shown as made (where the
// screen holds it), with its frame dragged larger, maximized and back, it
// shows no scroll bars, lays out the client area it shows, and keeps every
// shown control inside its parent's client area.
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include <functional>
#include <string>
#include <vector>

namespace layout_detail {
inline std::string PathOf(TControl* C) {
    std::string p;
    for (; C && !dynamic_cast<TCustomForm*>(C); C = C->Parent())
        p = std::string(C->Name().IsEmpty() ? C->ClassName().c_str() : C->Name().c_str()) +
            (p.empty() ? "" : "." + p);
    return p;
}

inline void Outside(TWinControl* Root, std::vector<std::string>& Out) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        TControl* c = Root->Controls(i);
        if (!c->Visible()) continue;
        const TRect r = c->BoundsRect();
        if (r.Left < 0 || r.Top < 0 || r.Right > Root->ClientWidth() ||
            r.Bottom > Root->ClientHeight())
            Out.push_back(PathOf(c) + " at " + std::to_string(r.Left) + "," +
                          std::to_string(r.Top) + "-" + std::to_string(r.Right) + "," +
                          std::to_string(r.Bottom) + " in " + std::to_string(Root->ClientWidth()) +
                          "x" + std::to_string(Root->ClientHeight()));
        if (auto* w = dynamic_cast<TWinControl*>(c)) Outside(w, Out);
    }
}
} // namespace layout_detail

// The faults of a shown top-level window at its present size.
inline std::vector<std::string> LayoutFaults(TCustomForm* F) {
    std::vector<std::string> out;
    const TShownClient shown = ShownClient(F);
    if (shown.Scrolls) out.push_back("scroll bars");
    if (shown.Width != F->ClientWidth() || shown.Height != F->ClientHeight())
        out.push_back("lays out " + std::to_string(F->ClientWidth()) + "x" +
                      std::to_string(F->ClientHeight()) + " in " + std::to_string(shown.Width) +
                      "x" + std::to_string(shown.Height));
    layout_detail::Outside(F, out);
    return out;
}

// A frame the user can drag: sizeable, and not held to one size.
inline bool UserResizable(TCustomForm* F) {
    const TSizeConstraints* k = F->Constraints();
    const bool fixed = k->MinWidth() > 0 && k->MinWidth() == k->MaxWidth() && k->MinHeight() > 0 &&
                       k->MinHeight() == k->MaxHeight();
    return !F->Parent() && !fixed &&
           (F->BorderStyle() == bsSizeable || F->BorderStyle() == bsSizeToolWin);
}

// Resizes a shown window as the user would and adds each fault, named.
// AtEachSize, when given, runs at every size (to save a picture).
inline void CheckResizing(TCustomForm* Form, const std::string& Name,
                          std::vector<std::string>& Faults,
                          const std::function<void(const std::string&)>& AtEachSize = nullptr) {
    auto check = [&](const std::string& Where) {
        for (const std::string& f : LayoutFaults(Form))
            Faults.push_back(Name + " " + Where + ": " + f);
        if (AtEachSize) AtEachSize(Where);
    };
    Application->ProcessMessages();
    const int w = Form->ClientWidth(), h = Form->ClientHeight();
    // As made only where the screen holds it: a larger window opens fitted.
    if (!ShownClient(Form).Scrolls) check("as made");
    SimulateFrameResize(Form, w + 240, h + 160);
    check("dragged larger");
    Form->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    // The headless screen may be smaller than the one the program measures
    // itself on; a window larger than it shows its content scrolling.
    if (Form->ClientWidth() >= w && Form->ClientHeight() >= h) check("maximized");
    Form->SetWindowState(wsNormal);
    Application->ProcessMessages();
    SimulateFrameResize(Form, w, h);
    check("back to its size");
}
