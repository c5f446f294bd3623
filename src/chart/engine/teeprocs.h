#pragma once
// The chart library's shared helpers (unit Teeprocs):
//   colour palette, date-time steps with their rounding and stepping,
//   hit tests on lines, polygons, triangles and ellipses, line crossings,
//   a callback quicksort, separated-field extraction, unique names,
//   number-format separators, named bitmap resources (teeprocs.cpp),
//   check boxes and control helpers (teepanel.cpp).
// The panels, shapes and the data-export base of the unit have headers of
// their own, included here: teepanel.h, teeshape.h, teeexport.h.
#include "chart/engine/tecanvas.h"
#include "chart/engine/teeexport.h"
#include "chart/engine/teepanel.h"
#include "chart/engine/teeshape.h"
#include "platform/classes/component.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/types.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// ---------------------------------------------------------------------------
// Colours and dates.

// 21 entries; entry 0 holds 0 and is never handed out.
extern std::vector<TColor> ColorPalette;
// The palette colour for a series or point index (index mod 20 + 1).
TColor GetDefaultColor(int Index);

enum TDateTimeStep {
    dtOneMicroSecond,
    dtOneMillisecond,
    dtOneSecond,
    dtFiveSeconds,
    dtTenSeconds,
    dtFifteenSeconds,
    dtThirtySeconds,
    dtOneMinute,
    dtFiveMinutes,
    dtTenMinutes,
    dtFifteenMinutes,
    dtThirtyMinutes,
    dtOneHour,
    dtTwoHours,
    dtSixHours,
    dtTwelveHours,
    dtOneDay,
    dtTwoDays,
    dtThreeDays,
    dtOneWeek,
    dtHalfMonth,
    dtOneMonth,
    dtTwoMonths,
    dtThreeMonths,
    dtFourMonths,
    dtSixMonths,
    dtOneYear,
    dtNone
};

// Length of each step in days (dtNone has no entry).
extern const std::array<double, 27> DateTimeStep;

// ShortDateFormat for steps above one day, else ShortTimeFormat.
AnsiString DateTimeDefaultFormat(double AStep);
// The largest step whose length matches Value (within one microsecond); dtNone when none.
TDateTimeStep FindDateTimeStep(double StepValue);
// The next longer step after AStep days (one year at most).
double NextDateTimeStep(double AStep);
// Rounds a date down to the start of its half month, month or year.
TDateTime TeeRoundDate(TDateTime ADate, TDateTimeStep AStep);
// Moves Value one step along an axis: calendar steps for half months to years
// on date-time axes, plain addition of Increment otherwise.
void TeeDateTimeIncrement(bool IsDateTime, bool Increment, double& Value, double AnIncrement,
                          TDateTimeStep tmpWhichDateTime);

// ---------------------------------------------------------------------------
// Hit tests (integer pixels).

bool PointInLine(const TPoint& P, int px, int py, int qx, int qy, int TolerancePixels);
bool PointInLine(const TPoint& P, int px, int py, int qx, int qy);
bool PointInLine(const TPoint& P, const TPoint& FromPoint, const TPoint& ToPoint);
bool PointInLine(const TPoint& P, const TPoint& FromPoint, const TPoint& ToPoint,
                 int TolerancePixels);
bool PointInLineTolerance(const TPoint& P, int px, int py, int qx, int qy, int TolerancePixels);
// Even-odd rule over Poly[0..Last]; false when Last < 0. Raises ERangeError
// when Last lies beyond the points given.
bool PointInPolygon(const TPoint& P, std::span<const TPoint> Poly, int Last);
// Triangle (X0, Y0), ((X0 + X1) div 2, Y1), (X1, Y0).
bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1);
// Triangle (X0, Y0), (X1, (Y0 + Y1) div 2), (X0, Y1).
bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1);
bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom);
bool PointInEllipse(const TPoint& P, const TRect& Rect);
// Whether segment 1-2 crosses segment 3-4; x, y receive the crossing of the two lines.
bool CrossingLines(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4,
                   double Y4, double& x, double& y);

// The corners of R rotated by Angle degrees about its centre: top-left,
// top-right, bottom-right, bottom-left.
void RectToFourPoints(const TRect& ARect, double Angle, TFourPoints& P);

// ---------------------------------------------------------------------------
// Text and names.

extern AnsiString TeeFieldsSeparator;

AnsiString TeeStr(int Num);
int TeeNumFields(const AnsiString& St);
int TeeNumFields(const AnsiString& St, const AnsiString& Separator);
AnsiString TeeExtractField(const AnsiString& St, int Index);
AnsiString TeeExtractField(const AnsiString& St, int Index, const AnsiString& Separator);
// Base followed by the first number no component of AOwner is named with.
AnsiString TeeGetUniqueName(TComponent* AOwner, const AnsiString& AStartName);
// Number formats are stored with "," grouping and "." decimals and shown in
// the user's separators.
AnsiString StoredToLocalFormat(const AnsiString& Format);
AnsiString LocalToStoredFormat(const AnsiString& Format);
// Every Old becomes New; a New of '\0' deletes them.
AnsiString ReplaceChar(const AnsiString& AString, char Old, char New = '\0');

// ---------------------------------------------------------------------------
// Sorting through callbacks: the data itself is never touched here.

using TTeeSortCompare = std::function<int(int a, int b)>;
using TTeeSortSwap = std::function<void(int a, int b)>;
void TeeSort(int StartIndex, int EndIndex, const TTeeSortCompare& CompareFunc,
             const TTeeSortSwap& SwapFunc);

// ---------------------------------------------------------------------------
// Named bitmaps: the program registers its pictures (gallery and editor
// symbols) in modules; TeeLoadBitmap looks them up in registration order.

// Adds a BMP file image under Name in module Module (a module is any small
// number; lower numbers are searched first).
void TeeRegisterBitmapResource(int Module, const AnsiString& Name, std::vector<uint8_t> BmpBytes);

// The hand cursor shown over what can be dragged; registered with the screen when
// the first chart panel is made.
constexpr TCursor crTeeHand = 2020;
void TeeInstallHandCursor();
void TeeUnregisterBitmapResource(int Module, const AnsiString& Name);
// Loads Name1, else Name2, from the first module holding either; false when none does.
bool TeeLoadBitmap(TBitmap* Bitmap, const AnsiString& Name1, const AnsiString& Name2);
// The symbol of an object's class, else of its parent class.
bool TeeGetBitmapEditor(TObject* AObject, TBitmap* Bitmap);

// Libraries by name through the system's loader, with no error box for a file
// that cannot be opened; a library that cannot be loaded gives none.
using HMODULE = void*;
HMODULE TeeLoadLibrary(const AnsiString& LibName);
void TeeFreeLibrary(HMODULE Handle);

// ---------------------------------------------------------------------------
// Controls.

// A 13 x 13 check box at (X, Y), ticked or not (the back colour is not used).
void TeeDrawCheckBox(int x, int y, TCanvas* Canvas, bool Checked, TColor ABackColor);
// Sets Enabled of every control given (empty entries are skipped).
void EnableControls(bool Enable, std::span<TControl* const> Controls);
// A language module translates the texts of a control through this hook.
extern std::function<void(TControl* AControl)> TeeTranslateHook;
void TeeTranslateControl(TControl* AControl);
