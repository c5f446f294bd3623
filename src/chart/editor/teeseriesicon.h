#pragma once
// The small picture of a series type that the series list and the series page
// show: a miniature sample of the type, drawn once per class and kept.
#include "platform/classes/classinfo.h"

class TBitmap;
class TCanvas;

constexpr int TeeSeriesIconSize = 22;

// The icon of a series class; nullptr for a class that is no series. The
// bitmap lives until the program ends.
TBitmap* TeeSeriesIcon(TClass SeriesClass);
// Draws the icon with its top-left corner at (X, Y).
void TeeDrawSeriesIcon(TClass SeriesClass, TCanvas* ACanvas, int X, int Y);
