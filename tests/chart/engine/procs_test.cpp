#include "chart/engine/teeprocs.h"
#include "platform/win32/modules.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {
double D(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

class TSeparators {
public:
    TSeparators(char dec, char thou) : FDec(DecimalSeparator), FThou(ThousandSeparator) {
        DecimalSeparator = dec;
        ThousandSeparator = thou;
    }
    ~TSeparators() {
        DecimalSeparator = FDec;
        ThousandSeparator = FThou;
    }

private:
    char FDec, FThou;
};
} // namespace

TEST(TeeProcsColors, PaletteWrapsEveryTwentyEntries) {
    EXPECT_EQ(GetDefaultColor(0), 0x0000FF);
    EXPECT_EQ(GetDefaultColor(15), 0x000000);
    EXPECT_EQ(GetDefaultColor(19), 0xA4A0A0);
    EXPECT_EQ(GetDefaultColor(20), 0x0000FF);
    EXPECT_EQ(GetDefaultColor(-1), 0xA4A0A0);
    ASSERT_EQ(ColorPalette.size(), 21u);
    EXPECT_EQ(ColorPalette[0], 0);
}

TEST(TeeProcsDates, StepLookups) {
    EXPECT_EQ(FindDateTimeStep(1.0), dtOneDay);
    EXPECT_EQ(FindDateTimeStep(0.3), dtNone);
    EXPECT_EQ(FindDateTimeStep(1.0 / 1440.0), dtOneMinute);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1.0 / 86400.0), 5.0 / 86400.0);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(182), 365);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1000), 365);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1e-12), 365); // below every entry
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1.5), 2);
}

TEST(TeeProcsDates, RoundDate) {
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(2004, 3, 20), dtHalfMonth), D(2004, 3, 15));
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(2004, 3, 14), dtHalfMonth), D(2004, 3, 1));
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(2004, 3, 20), dtOneYear), D(2004, 1, 1));
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(2004, 3, 20) + 0.5, dtThreeMonths), D(2004, 3, 1));
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(2004, 3, 20) + 0.5, dtOneHour), D(2004, 3, 20));
    EXPECT_DOUBLE_EQ(TeeRoundDate(D(1850, 6, 20) + 0.25, dtOneYear), D(1850, 6, 20) + 0.25);
}

TEST(TeeProcsDates, IncrementByCalendar) {
    struct Row {
        double From;
        bool Up;
        TDateTimeStep Step;
        double To;
    };
    const Row rows[] = {
        {D(2003, 12, 15), true, dtOneMonth, D(2004, 1, 1)},
        {D(2004, 1, 1), false, dtTwoMonths, D(2003, 11, 1)},
        {D(2004, 5, 10), false, dtSixMonths, D(2003, 11, 1)},
        {D(2004, 8, 10), true, dtSixMonths, D(2005, 2, 1)},
        {D(2004, 2, 29), true, dtOneYear, D(2005, 2, 28)},
        {D(2004, 3, 20), true, dtOneYear, D(2005, 3, 20)},
        {D(2004, 3, 20), false, dtOneYear, D(2003, 3, 20)},
        {D(2004, 3, 20), false, dtHalfMonth, D(2004, 3, 15)},
        {D(2004, 3, 15), false, dtHalfMonth, D(2004, 3, 1)},
        {D(2004, 3, 1), false, dtHalfMonth, D(2004, 2, 15)},
        {D(2004, 1, 1), false, dtHalfMonth, D(2003, 12, 15)},
        // Upward half months only move forward.
        {D(2004, 3, 1), true, dtHalfMonth, D(2004, 3, 15)},
        {D(2004, 3, 15), true, dtHalfMonth, D(2004, 4, 1)},
        {D(2004, 3, 20), true, dtHalfMonth, D(2004, 4, 1)},
        {D(2004, 12, 20), true, dtHalfMonth, D(2005, 1, 1)},
    };
    for (const Row& r : rows) {
        double v = r.From;
        TeeDateTimeIncrement(true, r.Up, v, 99, r.Step);
        EXPECT_DOUBLE_EQ(v, r.To) << FormatDateTime("yyyy-mm-dd", r.From) << " step " << r.Step;
    }
    double v = 10;
    TeeDateTimeIncrement(false, true, v, 2.5, dtOneMonth);
    EXPECT_DOUBLE_EQ(v, 12.5);
    TeeDateTimeIncrement(true, false, v, 2.5, dtOneDay);
    EXPECT_DOUBLE_EQ(v, 10);
    // A step past the calendar's end still moves on.
    v = D(9999, 12, 20);
    TeeDateTimeIncrement(true, true, v, 30, dtOneMonth);
    EXPECT_DOUBLE_EQ(v, D(9999, 12, 20) + 30);
    for (TDateTimeStep step : {dtHalfMonth, dtOneMonth, dtOneYear})
        for (bool up : {true, false}) {
            v = -1e20;
            TeeDateTimeIncrement(true, up, v, 1e19, step);
            EXPECT_DOUBLE_EQ(v, up ? -9e19 : -1.1e20) << step;
        }
}

TEST(TeeProcsHitTests, PointInLine) {
    const TPoint a(0, 0), b(10, 0);
    EXPECT_TRUE(PointInLine(TPoint(5, 0), a, b));
    EXPECT_FALSE(PointInLine(TPoint(5, 1), a, b));
    EXPECT_FALSE(PointInLine(TPoint(11, 0), a, b));
    EXPECT_TRUE(PointInLine(TPoint(11, 0), a, b, 1));
    EXPECT_FALSE(PointInLine(TPoint(12, 0), a, b, 1));
    EXPECT_TRUE(PointInLine(TPoint(-1, 0), 10, 0, 0, 0, 1));
    EXPECT_TRUE(PointInLineTolerance(TPoint(5, 5), 0, 0, 10, 10, 0));
    EXPECT_FALSE(PointInLine(TPoint(5, 6), 0, 0, 10, 10));
    // A zero-length segment contains nothing (c < 0 never holds).
    EXPECT_FALSE(PointInLine(TPoint(3, 3), 3, 3, 3, 3, 5));
    // Far coordinates do not overflow.
    EXPECT_TRUE(PointInLine(TPoint(2000000000, 0), -2000000000, 0, 2100000000, 0, 0));
}

TEST(TeeProcsHitTests, Polygons) {
    const std::vector<TPoint> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_FALSE(PointInPolygon(TPoint(5, 5), square, -1));
    EXPECT_TRUE(PointInPolygon(TPoint(5, 5), square, 3));
    EXPECT_TRUE(PointInPolygon(TPoint(0, 0), square, 3));
    EXPECT_FALSE(PointInPolygon(TPoint(10, 5), square, 3));
    EXPECT_FALSE(PointInPolygon(TPoint(11, 5), square, 3));
    EXPECT_THROW(PointInPolygon(TPoint(5, 5), square, 4), ERangeError);

    EXPECT_TRUE(PointInTriangle(TPoint(5, 2), 0, 10, 10, 0)); // apex up at y 0
    EXPECT_FALSE(PointInTriangle(TPoint(1, 2), 0, 10, 10, 0));
    EXPECT_TRUE(PointInHorizTriangle(TPoint(2, 5), 0, 10, 0, 10)); // apex right at x 10
    EXPECT_FALSE(PointInHorizTriangle(TPoint(8, 1), 0, 10, 0, 10));
    // Far coordinates: the apex lies halfway without overflowing.
    EXPECT_TRUE(PointInTriangle(TPoint(1800000000, 5), 1500000000, 2100000000, 10, 0));
    EXPECT_TRUE(PointInHorizTriangle(TPoint(5, 1800000000), 1500000000, 2100000000, 10, 0));

    EXPECT_TRUE(PointInEllipse(TPoint(5, 5), 0, 0, 10, 10));
    EXPECT_TRUE(PointInEllipse(TPoint(10, 5), TRect(0, 0, 10, 10)));
    EXPECT_FALSE(PointInEllipse(TPoint(9, 9), 0, 0, 10, 10));
    EXPECT_FALSE(PointInEllipse(TPoint(5, 5), 0, 5, 10, 5));
}

TEST(TeeProcsHitTests, CrossingLines) {
    struct Row {
        double c[8];
        bool Crosses;
        double X, Y;
    };
    const Row rows[] = {
        {{0, 0, 10, 10, 0, 10, 10, 0}, true, 5, 5},
        {{0, 0, 4, 4, 6, 0, 10, -4}, false, 3, 3},
        {{0, 0, 10, 0, 0, 5, 10, 5}, false, 10, 0}, // parallel
        // Vertical segments have no slope but still cross.
        {{5, -5, 5, 5, 0, 0, 10, 0}, true, 5, 0},
        {{0, 1, 10, 1, 3, -5, 3, 5}, true, 3, 1},
        {{0, 0, 0, 10, 5, 0, 5, 10}, false, 0, 10},
        {{5, 2, 5, 5, 0, 0, 10, 0}, false, 5, 0},
    };
    for (const Row& r : rows) {
        double x = -1, y = -1;
        EXPECT_EQ(
            CrossingLines(r.c[0], r.c[1], r.c[2], r.c[3], r.c[4], r.c[5], r.c[6], r.c[7], x, y),
            r.Crosses);
        EXPECT_DOUBLE_EQ(x, r.X);
        EXPECT_DOUBLE_EQ(y, r.Y);
    }
}

TEST(TeeProcsHitTests, RectToFourPoints) {
    TFourPoints p;
    RectToFourPoints(TRect(0, 0, 10, 20), 0, p);
    EXPECT_EQ(p[0], TPoint(0, 0));
    EXPECT_EQ(p[1], TPoint(10, 0));
    EXPECT_EQ(p[2], TPoint(10, 20));
    EXPECT_EQ(p[3], TPoint(0, 20));
    RectToFourPoints(TRect(0, 0, 10, 20), 90, p);
    EXPECT_EQ(p[0], TPoint(-5, 15)); // (-5,-10) -> (-10, 5) about centre (5, 10)
    EXPECT_EQ(p[1], TPoint(-5, 5));
    EXPECT_EQ(p[2], TPoint(15, 5));
    EXPECT_EQ(p[3], TPoint(15, 15));
}

TEST(TeeProcsText, Fields) {
    EXPECT_EQ(TeeNumFields("a;b;c"), 3);
    EXPECT_EQ(TeeNumFields(""), 0);
    EXPECT_EQ(TeeExtractField("a;b;c", 2), "b");
    EXPECT_EQ(TeeExtractField("a;b;c", 7), "c");
    EXPECT_EQ(TeeExtractField("a;b;c", 0), "");
    EXPECT_EQ(TeeExtractField("", 1), "");
    EXPECT_EQ(TeeExtractField(";x", 1), "");
    EXPECT_EQ(TeeExtractField("a, b, c", 3, ", "), "c");
    EXPECT_EQ(TeeNumFields("a, b, c", ", "), 3);
    EXPECT_EQ(TeeFieldsSeparator, ";"); // the separator form puts it back
}

TEST(TeeProcsText, UniqueNames) {
    TComponent owner(nullptr);
    auto* s1 = new TComponent(&owner);
    s1->SetName("Series1");
    auto* s2 = new TComponent(&owner);
    s2->SetName("Series2");
    EXPECT_EQ(TeeGetUniqueName(&owner, "Series"), "Series3");
    EXPECT_EQ(TeeGetUniqueName(nullptr, "Series"), "Series1");
    EXPECT_EQ(TeeGetUniqueName(&owner, "Chart"), "Chart1");
}

TEST(TeeProcsText, FormatSeparatorsSwapInOnePass) {
    TSeparators sep(',', '.');
    EXPECT_EQ(StoredToLocalFormat("#,##0.###"), "#.##0,###");
    EXPECT_EQ(LocalToStoredFormat("#.##0,###"), "#,##0.###");
    TSeparators same('.', ',');
    EXPECT_EQ(StoredToLocalFormat("#,##0.00"), "#,##0.00");
}

TEST(TeeProcsText, ReplaceCharAndNumbers) {
    EXPECT_EQ(ReplaceChar("a-b-c", '-', '+'), "a+b+c");
    EXPECT_EQ(ReplaceChar("a-b-c", '-'), "abc");
    EXPECT_EQ(TeeStr(-42), "-42");
}

TEST(TeeProcsSort, SortsThroughCallbacksOnly) {
    for (int n : {0, 1, 2, 3, 10, 257}) {
        std::vector<int> v(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            v[static_cast<size_t>(i)] = (i * 7919) % 101 - 50;
        auto expected = v;
        std::sort(expected.begin(), expected.end());
        if (n > 0)
            TeeSort(
                0, n - 1, [&](int a, int b) { return v[size_t(a)] - v[size_t(b)]; },
                [&](int a, int b) { std::swap(v[size_t(a)], v[size_t(b)]); });
        EXPECT_EQ(v, expected) << n;
    }
    // Sorted, reversed and all-equal input of a large size (no deep recursion).
    std::vector<int> big(200000);
    std::iota(big.rbegin(), big.rend(), 0);
    TeeSort(
        0, int(big.size()) - 1, [&](int a, int b) { return big[size_t(a)] - big[size_t(b)]; },
        [&](int a, int b) { std::swap(big[size_t(a)], big[size_t(b)]); });
    EXPECT_TRUE(std::is_sorted(big.begin(), big.end()));
    // A sub-range leaves the rest alone.
    std::vector<int> part = {9, 3, 2, 1, 0};
    TeeSort(
        1, 3, [&](int a, int b) { return part[size_t(a)] - part[size_t(b)]; },
        [&](int a, int b) { std::swap(part[size_t(a)], part[size_t(b)]); });
    EXPECT_EQ(part, (std::vector<int>{9, 1, 2, 3, 0}));
}

TEST(TeeProcsSort, InconsistentComparisonStaysInRangeAndEnds) {
    std::vector<int> v(50, 0);
    int calls = 0;
    for (int answer : {-1, 1}) {
        TeeSort(
            5, 40,
            [&](int a, int b) {
                EXPECT_TRUE(a >= 5 && a <= 40 && b >= 5 && b <= 40);
                ++calls;
                return answer;
            },
            [&](int a, int b) { EXPECT_TRUE(a >= 5 && b <= 40); });
    }
    EXPECT_GT(calls, 0);
}

TEST(TeeProcsResources, LoadBitmapSearchesModulesInOrder) {
    TBitmap source(3, 2);
    const auto bytes = source.SaveToBytes();
    TeeRegisterBitmapResource(7, "TPERSISTENT", bytes);
    TBitmap loaded;
    TComponent comp(nullptr);
    EXPECT_FALSE(TeeLoadBitmap(&loaded, "Nothing", "Else"));
    EXPECT_TRUE(TeeLoadBitmap(&loaded, "Nothing", "TPersistent"));
    EXPECT_EQ(loaded.Width(), 3);
    EXPECT_TRUE(TeeGetBitmapEditor(&comp, &loaded)); // TComponent's parent class
    TeeUnregisterBitmapResource(7, "TPERSISTENT");
    EXPECT_FALSE(TeeLoadBitmap(&loaded, "TPersistent", ""));
}

TEST(TeeLibrary, LoadsWithoutErrorBoxesAndPutsTheErrorModeBack) {
    const UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
    HMODULE m = TeeLoadLibrary("libm.so.6");
    EXPECT_NE(m, nullptr);
    EXPECT_EQ(GetErrorMode(), SEM_FAILCRITICALERRORS);
    EXPECT_EQ(TeeLoadLibrary("libqm-no-such-library.so"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(GetErrorMode(), SEM_FAILCRITICALERRORS);
    TeeFreeLibrary(m);
    EXPECT_FALSE(FreeLibrary(m)); // freed once, by the one load
    TeeFreeLibrary(nullptr);      // nothing to free: nothing happens
    SetErrorMode(old);
}
