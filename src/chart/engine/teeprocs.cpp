#include "chart/engine/teeprocs.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlmath.h"
#include "platform/win32/modules.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

// ---------------------------------------------------------------------------
// Colours and dates.

std::vector<TColor> ColorPalette = {
    0,         clRed,  clGreen, clYellow,     clBlue,    clWhite, clGray,
    clFuchsia, clTeal, clNavy,  clMaroon,     clLime,    clOlive, clPurple,
    clSilver,  clAqua, clBlack, clMoneyGreen, clSkyBlue, clCream, clMedGray};

TColor GetDefaultColor(int Index) {
    // A negative index would reach before the table; wrap it like a positive one.
    int i = Index % 20;
    if (i < 0) i += 20;
    return ColorPalette[static_cast<size_t>(i + 1)];
}

const std::array<double, 27> DateTimeStep = {1.0 / 86400000000.0,
                                             1.0 / 86400000.0,
                                             1.0 / 86400.0,
                                             5.0 / 86400.0,
                                             10.0 / 86400.0,
                                             15.0 / 86400.0,
                                             30.0 / 86400.0,
                                             1.0 / 1440.0,
                                             5.0 / 1440.0,
                                             10.0 / 1440.0,
                                             15.0 / 1440.0,
                                             30.0 / 1440.0,
                                             1.0 / 24.0,
                                             2.0 / 24.0,
                                             0.25,
                                             0.5,
                                             1,
                                             2,
                                             3,
                                             7,
                                             15,
                                             30,
                                             60,
                                             90,
                                             120,
                                             182,
                                             365};

namespace {
const TDateTime ReferenceDate = EncodeDate(1900, 1, 1);
}

AnsiString DateTimeDefaultFormat(double AStep) {
    return AStep > 1 ? ShortDateFormat : ShortTimeFormat;
}

TDateTimeStep FindDateTimeStep(double StepValue) {
    for (int i = 26; i >= 0; --i)
        if (std::fabs(DateTimeStep[static_cast<size_t>(i)] - StepValue) < DateTimeStep[0])
            return static_cast<TDateTimeStep>(i);
    return dtNone;
}

double NextDateTimeStep(double AStep) {
    for (int i = 25; i >= 0; --i)
        if (AStep >= DateTimeStep[static_cast<size_t>(i)])
            return DateTimeStep[static_cast<size_t>(i + 1)];
    return DateTimeStep[26];
}

TDateTime TeeRoundDate(TDateTime ADate, TDateTimeStep AStep) {
    if (ADate <= ReferenceDate) return ADate;
    int year, month, day;
    DecodeDate(ADate, year, month, day);
    switch (AStep) {
    case dtHalfMonth:
        day = day >= 15 ? 15 : 1;
        break;
    case dtOneMonth:
    case dtTwoMonths:
    case dtThreeMonths:
    case dtFourMonths:
    case dtSixMonths:
        day = 1;
        break;
    case dtOneYear:
        day = 1;
        month = 1;
        break;
    default:
        break;
    }
    TDateTime result;
    return TryEncodeDate(year, month, day, result) ? result : ADate;
}

namespace {
void MoveMonths(int& year, int& month, int& day, int n, bool upward) {
    day = 1;
    if (upward) {
        month += n;
        if (month > 12) {
            ++year;
            month -= 12;
        }
    } else if (n >= month) {
        --year;
        month = month - n + 12;
    } else {
        month -= n;
    }
}
} // namespace

void TeeDateTimeIncrement(bool IsDateTime, bool Increment, double& Value, double AnIncrement,
                          TDateTimeStep tmpWhichDateTime) {
    if (IsDateTime && tmpWhichDateTime >= dtHalfMonth && tmpWhichDateTime <= dtOneYear) {
        int year, month, day;
        DecodeDate(Value, year, month, day);
        switch (tmpWhichDateTime) {
        case dtHalfMonth:
            if (Increment) {
                // Upward a half-month step goes forward to the 15th or to the
                // next month's first day, never back to an earlier day.
                if (day < 15)
                    day = 15;
                else
                    MoveMonths(year, month, day, 1, true);
            } else if (day > 15) {
                day = 15;
            } else if (day > 1) {
                day = 1;
            } else {
                MoveMonths(year, month, day, 1, false);
                day = 15;
            }
            break;
        case dtOneMonth:
            MoveMonths(year, month, day, 1, Increment);
            break;
        case dtTwoMonths:
            MoveMonths(year, month, day, 2, Increment);
            break;
        case dtThreeMonths:
            MoveMonths(year, month, day, 3, Increment);
            break;
        case dtFourMonths:
            MoveMonths(year, month, day, 4, Increment);
            break;
        case dtSixMonths:
            MoveMonths(year, month, day, 6, Increment);
            break;
        default:
            year += Increment ? 1 : -1;
            // 29 February steps to the 28th in a common year. A value outside
            // the calendar decodes to no month at all.
            if (year >= 1 && year <= 9999 && month >= 1 && month <= 12)
                day = std::min(day, DaysInMonth(year, month));
            break;
        }
        TDateTime result;
        if (TryEncodeDate(year, month, day, result)) {
            Value = result;
            return;
        }
        // Beyond the calendar: a plain step still moves the axis on.
    }
    if (Increment)
        Value += AnIncrement;
    else
        Value -= AnIncrement;
}

// ---------------------------------------------------------------------------
// Hit tests.

bool PointInLine(const TPoint& P, int px, int py, int qx, int qy, int TolerancePixels) {
    const long double dx = static_cast<long double>(qx) - px;
    const long double dy = static_cast<long double>(qy) - py;
    const long double d = std::max(std::fabs(dx), std::fabs(dy));
    const long double c = std::fabs(dy * (static_cast<long double>(P.x) - px) -
                                    (static_cast<long double>(P.y) - py) * dx);
    if (!(c < d)) return false;
    // a "beyond" b: a > b + tolerance, in 64 bits so nothing wraps.
    const int64_t t = TolerancePixels;
    auto beyond = [t](int64_t a, int64_t b) { return a > b + t; };
    if (beyond(px, qx) && beyond(P.x, px)) return false;
    if (beyond(py, qy) && beyond(P.y, py)) return false;
    if (beyond(px, P.x) && beyond(qx, px)) return false;
    if (beyond(py, P.y) && beyond(qy, py)) return false;
    if (beyond(qx, px) && beyond(P.x, qx)) return false;
    if (beyond(qy, py) && beyond(P.y, qy)) return false;
    if (beyond(qx, P.x) && beyond(px, qx)) return false;
    if (beyond(qy, P.y) && beyond(py, qy)) return false;
    return true;
}

bool PointInLine(const TPoint& P, int px, int py, int qx, int qy) {
    return PointInLine(P, px, py, qx, qy, 0);
}

bool PointInLine(const TPoint& P, const TPoint& FromPoint, const TPoint& ToPoint) {
    return PointInLine(P, FromPoint.x, FromPoint.y, ToPoint.x, ToPoint.y, 0);
}

bool PointInLine(const TPoint& P, const TPoint& FromPoint, const TPoint& ToPoint,
                 int TolerancePixels) {
    return PointInLine(P, FromPoint.x, FromPoint.y, ToPoint.x, ToPoint.y, TolerancePixels);
}

bool PointInLineTolerance(const TPoint& P, int px, int py, int qx, int qy, int TolerancePixels) {
    return PointInLine(P, px, py, qx, qy, TolerancePixels);
}

bool PointInPolygon(const TPoint& P, std::span<const TPoint> Poly, int Last) {
    if (Last < 0) return false;
    if (static_cast<size_t>(Last) >= Poly.size())
        throw ERangeError(Format("Polygon point index %d out of range (%d points)",
                                 {Last, static_cast<int>(Poly.size())}));
    bool result = false;
    int j = Last;
    for (int i = 0; i <= Last; ++i) {
        const TPoint& pi = Poly[static_cast<size_t>(i)];
        const TPoint& pj = Poly[static_cast<size_t>(j)];
        if ((pi.y <= P.y && P.y < pj.y) || (pj.y <= P.y && P.y < pi.y)) {
            const int64_t num = (static_cast<int64_t>(pj.x) - pi.x) * (int64_t(P.y) - pi.y);
            const double x = static_cast<double>(num) / (static_cast<double>(pj.y) - pi.y) + pi.x;
            if (P.x < x) result = !result;
        }
        j = i;
    }
    return result;
}

namespace {
// (a + b) div 2 without overflowing.
int Half(int a, int b) {
    return static_cast<int>((int64_t(a) + b) / 2);
}
} // namespace

bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1) {
    const TPoint tri[3] = {{X0, Y0}, {Half(X0, X1), Y1}, {X1, Y0}};
    return PointInPolygon(P, tri, 2);
}

bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1) {
    const TPoint tri[3] = {{X0, Y0}, {X1, Half(Y0, Y1)}, {X0, Y1}};
    return PointInPolygon(P, tri, 2);
}

bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom) {
    const int64_t cx = (int64_t(Left) + Right) / 2;
    const int64_t cy = (int64_t(Top) + Bottom) / 2;
    const double a2 = static_cast<double>((cx - Left) * (cx - Left));
    const double b2 = static_cast<double>((cy - Top) * (cy - Top));
    if (a2 == 0 || b2 == 0) return false;
    const double dx = static_cast<double>(P.x - cx);
    const double dy = static_cast<double>(P.y - cy);
    return dx * dx / a2 + dy * dy / b2 <= 1;
}

bool PointInEllipse(const TPoint& P, const TRect& Rect) {
    return PointInEllipse(P, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

namespace {
// Which side of the line A-B point P lies on; on the line counts as negative.
bool PositiveSide(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax) > 0;
}
} // namespace

bool CrossingLines(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4,
                   double Y4, double& x, double& y) {
    const bool vertical1 = X2 == X1;
    const bool vertical2 = X4 == X3;
    if (!vertical1 && !vertical2) {
        const double m1 = (Y2 - Y1) / (X2 - X1);
        const double m2 = (Y4 - Y3) / (X4 - X3);
        x = std::fabs(m2 - m1) > 1e-15 ? ((Y1 - m1 * X1) - (Y3 - m2 * X3)) / (m2 - m1) : X2;
        y = m1 * x + (Y1 - m1 * X1);
    } else if (vertical1 && !vertical2) {
        // A vertical segment has no slope: the crossing lies at its x.
        const double m2 = (Y4 - Y3) / (X4 - X3);
        x = X1;
        y = m2 * x + (Y3 - m2 * X3);
    } else if (!vertical1) {
        const double m1 = (Y2 - Y1) / (X2 - X1);
        x = X3;
        y = m1 * x + (Y1 - m1 * X1);
    } else {
        x = X2;
        y = Y2;
    }
    return PositiveSide(X1, Y1, X2, Y2, X3, Y3) != PositiveSide(X1, Y1, X2, Y2, X4, Y4) &&
           PositiveSide(X3, Y3, X4, Y4, X1, Y1) != PositiveSide(X3, Y3, X4, Y4, X2, Y2);
}

void RectToFourPoints(const TRect& ARect, double Angle, TFourPoints& P) {
    const int cx = static_cast<int>((int64_t(ARect.Left) + ARect.Right) / 2);
    const int cy = static_cast<int>((int64_t(ARect.Top) + ARect.Bottom) / 2);
    const double a = Angle * TeePiStep;
    const double s = std::sin(a);
    const double c = std::cos(a);
    auto rotate = [&](int x, int y) {
        const double px = static_cast<double>(x) - cx;
        const double py = static_cast<double>(y) - cy;
        return TPoint(PixelPos(px * c + py * s) + cx, PixelPos(-px * s + py * c) + cy);
    };
    P[0] = rotate(ARect.Left, ARect.Top);
    P[1] = rotate(ARect.Right, ARect.Top);
    P[2] = rotate(ARect.Right, ARect.Bottom);
    P[3] = rotate(ARect.Left, ARect.Bottom);
}

// ---------------------------------------------------------------------------
// Text and names.

AnsiString TeeFieldsSeparator = ";";

AnsiString TeeStr(int Num) {
    return IntToStr(Num);
}

namespace {
// Sets the separator for one call and puts the old one back on every path.
class TSeparatorScope {
public:
    explicit TSeparatorScope(const AnsiString& Separator) : FOld(TeeFieldsSeparator) {
        TeeFieldsSeparator = Separator;
    }
    ~TSeparatorScope() { TeeFieldsSeparator = FOld; }
    TSeparatorScope(const TSeparatorScope&) = delete;
    TSeparatorScope& operator=(const TSeparatorScope&) = delete;

private:
    AnsiString FOld;
};
} // namespace

int TeeNumFields(const AnsiString& St) {
    if (St.IsEmpty()) return 0;
    if (TeeFieldsSeparator.IsEmpty()) return 1;
    int result = 1;
    AnsiString s = St;
    for (int p = s.Pos(TeeFieldsSeparator); p > 0; p = s.Pos(TeeFieldsSeparator)) {
        ++result;
        s.Delete(1, p);
    }
    return result;
}

int TeeNumFields(const AnsiString& St, const AnsiString& Separator) {
    TSeparatorScope scope(Separator);
    return TeeNumFields(St);
}

AnsiString TeeExtractField(const AnsiString& St, int Index) {
    if (St.IsEmpty() || Index < 1) return AnsiString();
    if (TeeFieldsSeparator.IsEmpty()) return St;
    AnsiString s = St;
    const int sepLength = TeeFieldsSeparator.Length();
    for (int field = 1;; ++field) {
        const int p = s.Pos(TeeFieldsSeparator);
        if (p == 0) return s;
        if (field == Index) return s.SubString(1, p - 1);
        s.Delete(1, p + sepLength - 1);
    }
}

AnsiString TeeExtractField(const AnsiString& St, int Index, const AnsiString& Separator) {
    TSeparatorScope scope(Separator);
    return TeeExtractField(St, Index);
}

AnsiString TeeGetUniqueName(TComponent* AOwner, const AnsiString& AStartName) {
    int i = 1;
    if (AOwner)
        while (AOwner->FindComponent(AStartName + IntToStr(i)))
            ++i;
    return AStartName + IntToStr(i);
}

// One pass over the characters, so a separator swapped in is never swapped back.
AnsiString StoredToLocalFormat(const AnsiString& Format) {
    AnsiString result = Format;
    for (char& ch : result.str()) {
        if (ch == ',')
            ch = ThousandSeparator;
        else if (ch == '.')
            ch = DecimalSeparator;
    }
    return result;
}

AnsiString LocalToStoredFormat(const AnsiString& Format) {
    AnsiString result = Format;
    for (char& ch : result.str()) {
        if (ch == ThousandSeparator)
            ch = ',';
        else if (ch == DecimalSeparator)
            ch = '.';
    }
    return result;
}

AnsiString ReplaceChar(const AnsiString& AString, char Old, char New) {
    std::string result;
    result.reserve(AString.str().size());
    for (char ch : AString.str()) {
        if (ch != Old)
            result += ch;
        else if (New != '\0')
            result += New;
    }
    return AnsiString(std::move(result));
}

// ---------------------------------------------------------------------------
// Sorting.

void TeeSort(int StartIndex, int EndIndex, const TTeeSortCompare& CompareFunc,
             const TTeeSortSwap& SwapFunc) {
    // The ranges still to sort, on the heap: sorted input cannot exhaust the
    // call stack, and the order of compares and swaps is that of plain recursion.
    std::vector<std::pair<int, int>> pending{{StartIndex, EndIndex}};
    while (!pending.empty()) {
        const auto [l, r] = pending.back();
        pending.pop_back();
        int i = l;
        int j = r;
        int m = static_cast<int>((static_cast<unsigned>(l) + static_cast<unsigned>(r)) >> 1);
        while (i < j) {
            if (CompareFunc(i, m) < 0) {
                ++i;
                continue;
            }
            // A comparison that is not a strict order must not walk j out of the range.
            while (j > l && CompareFunc(m, j) < 0)
                --j;
            if (j > i) {
                SwapFunc(i, j);
                if (i == m)
                    m = j;
                else if (j == m)
                    m = i;
            }
            if (j >= i) {
                ++i;
                --j;
            }
        }
        // A part as large as the whole only comes from an inconsistent
        // comparison; it would never finish, so it is left as it is.
        if (i < r && i > l) pending.emplace_back(i, r);
        if (j > l && j < r) pending.emplace_back(l, j);
    }
}

// ---------------------------------------------------------------------------
// Named bitmaps.

namespace {
using TResourceModules = std::map<int, std::map<AnsiString, std::vector<uint8_t>>>;
TResourceModules& ResourceModules() {
    static TResourceModules modules;
    return modules;
}
} // namespace

void TeeRegisterBitmapResource(int Module, const AnsiString& Name, std::vector<uint8_t> BmpBytes) {
    ResourceModules()[Module][UpperCase(Name)] = std::move(BmpBytes);
}

void TeeUnregisterBitmapResource(int Module, const AnsiString& Name) {
    auto module = ResourceModules().find(Module);
    if (module == ResourceModules().end()) return;
    module->second.erase(UpperCase(Name));
    if (module->second.empty()) ResourceModules().erase(module);
}

bool TeeLoadBitmap(TBitmap* Bitmap, const AnsiString& Name1, const AnsiString& Name2) {
    const AnsiString names[2] = {UpperCase(Name1), UpperCase(Name2)};
    for (const auto& [module, resources] : ResourceModules()) {
        for (const AnsiString& name : names) {
            if (name.IsEmpty()) continue;
            auto found = resources.find(name);
            if (found == resources.end()) continue;
            if (Bitmap) Bitmap->LoadFromBytes(found->second);
            return true;
        }
    }
    return false;
}

bool TeeGetBitmapEditor(TObject* AObject, TBitmap* Bitmap) {
    if (!AObject) return false;
    const TClass parent = AObject->ClassParent();
    return TeeLoadBitmap(Bitmap, AObject->ClassName(), parent ? AnsiString(parent->Name) : "");
}

HMODULE TeeLoadLibrary(const AnsiString& LibName) {
    const UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const TTeeFinally restore([old] { SetErrorMode(old); });
    return LoadLibraryA(LibName.c_str());
}

void TeeFreeLibrary(HMODULE Handle) {
    FreeLibrary(Handle);
}
