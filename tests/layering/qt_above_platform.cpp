// Built only by the layering test, which passes when this fails to compile:
// the chart and instrument layers get no Qt include path from the platform.
#include "chart/engine/teeseries.h"
#include "comm/comport.h"
#include <QImage>

QImage Probe();
