// Geometry and colour helpers of the chart canvas.
#include "chart/engine/teegeometry.h"
#include "platform/graphics/graphics.h"
#include <climits>
#include <cmath>
#include <gtest/gtest.h>

TEST(Geometry, PointInRectExcludesRightAndBottom) {
    const TRect r(0, 0, 10, 5);
    EXPECT_TRUE(PointInRect(r, 0, 0));
    EXPECT_TRUE(PointInRect(r, 9, 4));
    EXPECT_FALSE(PointInRect(r, 10, 4));
    EXPECT_FALSE(PointInRect(r, 9, 5));
}

TEST(Geometry, RectangleHelpers) {
    int x, y;
    RectCenter(TRect(-5, -3, 0, 0), x, y);
    EXPECT_EQ(x, -2); // toward zero
    EXPECT_EQ(y, -1);
    RectCenter(TRect(INT_MAX - 1, 0, INT_MAX, 2), x, y);
    EXPECT_EQ(x, INT_MAX - 1);
    EXPECT_EQ(OrientRectangle(TRect(10, 8, 2, 3)), TRect(2, 3, 10, 8));
    const TPoint one[] = {{5, 7}};
    EXPECT_EQ(RectFromPolygon(one, 1), TRect(5, 7, 6, 8));
    const TPoint many[] = {{5, 7}, {-1, 9}, {3, 2}};
    EXPECT_EQ(RectFromPolygon(many, 3), TRect(-1, 2, 6, 10));
}

TEST(Geometry, CullIsTheSignOfTheTurn) {
    EXPECT_TRUE(TeeCull({0, 10}, {0, 0}, {10, 0}));
    EXPECT_FALSE(TeeCull({10, 0}, {0, 0}, {0, 10}));
    EXPECT_FALSE(TeeCull({0, 0}, {5, 5}, {10, 10})); // collinear
    const TPoint p[] = {{0, 10}, {0, 0}, {10, 0}};
    EXPECT_TRUE(TeeCull(p));
}

TEST(Geometry, DistanceNeverOverflows) {
    EXPECT_DOUBLE_EQ(TeeDistance(3, -4), 5.0);
    EXPECT_DOUBLE_EQ(TeeDistance(40000, 30000), 50000.0);
    EXPECT_NEAR(TeeDistance(INT_MIN, INT_MIN), std::sqrt(2.0) * 2147483648.0, 1.0);
}

TEST(Geometry, PointAtDistance) {
    // Vertical: back up from the end point along the line.
    EXPECT_EQ(PointAtDistance({5, 5}, {5, 5}, 3), TPoint(5, 2));
    EXPECT_EQ(PointAtDistance({5, 20}, {5, 10}, 3), TPoint(5, 13));
    EXPECT_EQ(PointAtDistance({0, 0}, {10, 0}, 4), TPoint(6, 0));
    // A start right of the end point goes the other way.
    EXPECT_EQ(PointAtDistance({10, 0}, {0, 0}, 4), TPoint(4, 0));
    EXPECT_EQ(PointAtDistance({0, 0}, {30, 40}, 5), TPoint(27, 36));
}

TEST(Colors, DarkAndBright) {
    EXPECT_EQ(ApplyDark(clWhite, 128), RGB(127, 127, 127));
    EXPECT_EQ(ApplyDark(RGB(128, 200, 10), 128), RGB(0, 72, 0));
    EXPECT_EQ(ApplyBright(RGB(200, 10, 255), 100), RGB(255, 110, 255));
    uint8_t r, g, b;
    RGBValue(RGB(1, 2, 3), r, g, b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 2);
    EXPECT_EQ(b, 3);
}

TEST(Colors, GrayScaleOfABitmap) {
    TBitmap bitmap(2, 1);
    bitmap.Canvas()->SetPixel(0, 0, RGB(90, 30, 0));
    bitmap.Canvas()->SetPixel(1, 0, RGB(255, 0, 0));
    TBitmap weighted;
    weighted.Assign(&bitmap);
    TeeGrayScale(&bitmap, false, 0);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), RGB(40, 40, 40));
    TeeGrayScale(&weighted, true, 1);
    EXPECT_EQ(weighted.Canvas()->Pixels(1, 0), RGB(255 - 76, 255 - 76, 255 - 76));
}
