#pragma once
// Registration of the further series types and functions. A program calls
// TeeExtraSeriesStartup once at start-up (after the chart control's own start-up), so
// chart files, galleries and editors find these classes by name.

void TeeExtraSeriesStartup();

// One registration routine a family; TeeExtraSeriesStartup calls each once.
void RegisterTee3DSeries();        // 3D base, grids, surface, contour, colour grid, vector, tower, 3D point/bar, triangulated
void RegisterTeePolarSeries();     // polar, radar, wind rose, clock, Smith, gauge
void RegisterTeeFinancialSeries(); // OHLC, candle, volume, moving/financial/statistical functions, fitting, smoothing
void RegisterTeeStatSeries();      // error, high-low, histogram, Bezier, point-and-figure, image, box plot, map, calendar, funnel, pyramid, donut
