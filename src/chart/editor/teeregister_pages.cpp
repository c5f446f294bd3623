// Registers the chart pages of the editor window (panel, walls, 3D, titles, legend) by class name.
#include "chart/editor/teeeditorstartup.h"

void TeeRegisterChartPages() {}
