#pragma once
// A label of a fixed size for large figures. It stops sizing itself to its
// caption before it is placed, or its figures would be cut to nothing.
#include "platform/forms/controls.h"
#include "platform/forms/stdctrls.h"

inline TLabel* FixedLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Name, int Left,
                          int Top, int Width, int Height) {
    auto* label = new TLabel(Owner);
    if (!Name.IsEmpty()) label->SetName(Name);
    label->SetAutoSize(false);
    label->SetBounds(Left, Top, Width, Height);
    label->SetParent(Parent);
    return label;
}
