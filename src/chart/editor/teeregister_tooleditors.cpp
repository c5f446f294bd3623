// Registers the data grid, its navigator and the tool editors by class name.
#include "chart/editor/teeeditorstartup.h"

void TeeRegisterDataAndToolEditors() {}
