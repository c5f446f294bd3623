#pragma once
// A label of a fixed size for large figures. A new label sizes itself to its
// (still empty) caption as it is placed; the bounds are set again once it
// stops doing so, or its figures are cut to nothing.
#include "platform/forms/controls.h"
#include "platform/forms/stdctrls.h"

inline TLabel* FixedLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Name, int Left,
                          int Top, int Width, int Height) {
    TLabel* label = NewControl<TLabel>(Owner, Parent, Name, Left, Top, Width, Height);
    label->SetAutoSize(false);
    label->SetBounds(Left, Top, Width, Height);
    return label;
}
