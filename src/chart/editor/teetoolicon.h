#pragma once
// The small picture of a tool class that the tools list and the tools gallery
// show before each tool's name: drawn once per class and kept.
#include "platform/classes/classinfo.h"

class TBitmap;
class TCanvas;

constexpr int TeeToolIconSize = 16;

// The picture of a tool class (a general one for a class without its own);
// nullptr for a class that is no tool. The bitmap lives until the program ends.
TBitmap* TeeToolIcon(TClass ToolClass);
// Draws the picture with its top-left corner at (X, Y).
void TeeDrawToolIcon(TClass ToolClass, TCanvas* ACanvas, int X, int Y);
