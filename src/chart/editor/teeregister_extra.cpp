// Registers the editors of the further series and functions by class name.
#include "chart/editor/teeeditorstartup.h"

void TeeRegisterExtraSeriesEditors() {}
