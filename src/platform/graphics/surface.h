#pragma once
// Whole pictures handed over without copying their pixels: a chart frame drawn
// off-screen becomes the target bitmap's pixels by sharing them, and the next
// frame is drawn on them in place while the target still shows them unchanged.
#include "platform/graphics/graphics.h"

// Whether Target paints a 32-bit RGB image pixel for pixel and unclipped, and
// Rect is that whole image: a copy of a picture of Rect's size into it then
// leaves it exactly that picture's pixels. Brings Target's pixels up to date.
bool IsWholeSurface(TCanvas& Target, const TRect& Rect);
// Target takes Bitmap's pixels as a whole copy would give them, shared until
// either is drawn on, and hears of it as of a copy.
void ShareSurface(TCanvas& Target, TBitmap& Bitmap);
// Whether Target and Bitmap still share their pixels (neither drawn on since).
bool SharesSurface(TCanvas& Target, TBitmap& Bitmap);
// Target lets go of the pixels it shares, so Bitmap is drawn on without a copy;
// Target is empty until ShareSurface gives it pixels again.
void ReleaseSurface(TCanvas& Target);
