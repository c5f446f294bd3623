#pragma once
// The standard series (unit Series), one header a family:
//   TCustomLineSeries, TCustomSeries, TLineSeries, THorizLineSeries, TPointSeries,
//   TAreaSeries, THorizAreaSeries                         series_line.h / .cpp
//   TFastLineSeries                                       series_fastline.h / .cpp
//   TBarSeriesGradient, TCustomBarSeries, TBarSeries, THorizBarSeries   series_bar.h / .cpp
//   TCircledSeries, TExplodedSlices, TPieOtherSlice, TPieSeries         series_pie.h / .cpp
//   RegisterTeeStandardSeries                             series_register.cpp
// Bubble, arrow, Gantt and shape series: series_bubble.h, series_arrow.h,
// series_gantt.h, series_shape.h.
#include "chart/control/series_bar.h"
#include "chart/control/series_fastline.h"
#include "chart/control/series_line.h"
#include "chart/control/series_pie.h"

// Registers the nine standard series types with the series registry.
void RegisterTeeStandardSeries();
