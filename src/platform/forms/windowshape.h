#pragma once
// The shape of a control's window on its parent: a rounded outline outside
// which the parent shows, and see-through pixels behind which it shows.
#include "platform/forms/controls.h"

// The colour a see-through control paints where its parent is to show. Chosen
// so that no named or system colour and no 16-colour palette entry meets it.
constexpr TColor clSeeThroughKey = static_cast<TColor>(0x00FE01FD);

// Rounds the control's window: only the rounded rectangle (0, 0, Width,
// Height) with corner ellipses of Round pixels across stays the control's;
// Round below 1 gives back the whole rectangle. The outline follows the size
// the control has now, so callers apply it again after a resize.
void SetControlRoundRegion(TControl* Control, int Round);

// With Value, pixels the control paints in clSeeThroughKey show what lies
// below it on its parent; without, the control is opaque again.
void SetControlSeeThrough(TControl* Control, bool Value);
bool ControlSeeThrough(const TControl* Control);
