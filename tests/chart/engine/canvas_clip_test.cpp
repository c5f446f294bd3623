// Clipping: one stack per canvas, each unclip gives back one level, polygons
// are converted on a copy, and the walls' cube by view.
#include "chart/engine/tecanvas.h"
#include <gtest/gtest.h>

namespace {

class Clip : public ::testing::Test {
protected:
    Clip() { canvas.SetCanvas(bitmap.Canvas()); }
    bool HasClip(TTeeCanvas& c) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const bool has = c.PlatformCanvas()->GetClipRgn(r) == 1;
        DeleteObject(r);
        return has;
    }
    TRect Box() { return canvas.PlatformCanvas()->ClipRect(); }
    TBitmap bitmap{100, 80};
    TTeeCanvas3D canvas;
};

} // namespace

TEST_F(Clip, UnclipWithoutAPriorClipLeavesNone) {
    canvas.ClipRectangle(TRect(2, 2, 5, 5));
    EXPECT_TRUE(HasClip(canvas));
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 100, 80));
    canvas.UnClipRectangle();
    EXPECT_FALSE(HasClip(canvas));
    EXPECT_EQ(canvas.GetPixel(1, 1), clWhite);
    EXPECT_EQ(canvas.GetPixel(2, 2), clRed);
    EXPECT_EQ(canvas.GetPixel(5, 5), clWhite);
    EXPECT_EQ(canvas.ClipDepth(), 0);
}

TEST_F(Clip, NestedClipsRestoreOneLevelEach) {
    canvas.ClipRectangle(TRect(10, 10, 60, 60));
    ClipEllipse(&canvas, TRect(0, 0, 30, 30));
    canvas.ClipRectangle(TRect(12, 0, 18, 18));
    EXPECT_EQ(Box(), TRect(12, 10, 18, 18));
    canvas.UnClipRectangle();
    canvas.UnClipRectangle();
    EXPECT_EQ(Box(), TRect(10, 10, 60, 60));
    canvas.UnClipRectangle();
    EXPECT_FALSE(HasClip(canvas));
    canvas.UnClipRectangle(); // one too many: still no clip, no harm
    EXPECT_FALSE(HasClip(canvas));
}

TEST_F(Clip, EachCanvasKeepsItsOwnStack) {
    TBitmap otherBitmap(100, 80);
    TTeeCanvas3D other;
    other.SetCanvas(otherBitmap.Canvas());
    canvas.ClipRectangle(TRect(0, 0, 10, 10));
    other.ClipRectangle(TRect(5, 5, 50, 50));
    other.ClipRectangle(TRect(0, 0, 20, 20));
    canvas.UnClipRectangle();
    EXPECT_FALSE(HasClip(canvas));
    other.UnClipRectangle();
    EXPECT_EQ(other.PlatformCanvas()->ClipRect(), TRect(5, 5, 50, 50));
}

TEST_F(Clip, PolygonAndRoundRectUseLogicalCoordinatesAndKeepThePoints) {
    canvas.PlatformCanvas()->SetWindowOrgEx(10, 10);
    const TPoint points[] = {{10, 10}, {40, 10}, {40, 30}, {10, 30}};
    TPoint copy[4];
    std::copy(points, points + 4, copy);
    ClipPolygon(&canvas, copy, 4);
    EXPECT_TRUE(std::equal(copy, copy + 4, points));
    EXPECT_EQ(Box(), TRect(10, 10, 40, 30));
    canvas.UnClipRectangle();
    ClipRoundRectangle(&canvas, TRect(10, 10, 50, 50), 10);
    EXPECT_EQ(Box(), TRect(10, 10, 50, 50));
    canvas.UnClipRectangle();
    EXPECT_FALSE(HasClip(canvas));
}

TEST_F(Clip, CubeWithoutDepthLeavesOutLeftTopAndBottomEdges) {
    canvas.SetUseBuffer(false);
    canvas.InitWindow(bitmap.Canvas(), nullptr, clWhite, false, TRect(0, 0, 100, 80));
    canvas.ClipCube(TRect(10, 10, 50, 40), 0, 20);
    EXPECT_EQ(Box(), TRect(11, 11, 50, 39));
    canvas.UnClipRectangle();
}

TEST_F(Clip, CubeByView) {
    struct Case {
        bool Orthogonal;
        int Rotation, Elevation, OrthoAngle;
        bool Clips;
    } cases[] = {
        {true, 345, 345, 45, true},   {true, 345, 345, 135, true}, {false, 300, 345, 45, true},
        {false, 200, 345, 45, false}, {false, 270, 270, 45, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Rotation);
        TView3DOptions options;
        options.SetOrthogonal(c.Orthogonal);
        options.SetRotation(c.Rotation);
        options.SetElevation(c.Elevation);
        options.SetOrthoAngle(c.OrthoAngle);
        options.SetPerspective(0);
        canvas.SetUseBuffer(false);
        canvas.InitWindow(bitmap.Canvas(), &options, clWhite, true, TRect(0, 0, 100, 80));
        canvas.Projection(20, TRect(0, 0, 100, 80), TRect(10, 10, 90, 70));
        canvas.ClipRectangle(TRect(0, 0, 100, 80)); // an outer level to keep
        canvas.ClipCube(TRect(20, 20, 70, 60), 0, 20);
        EXPECT_EQ(Box() != TRect(0, 0, 100, 80), c.Clips);
        canvas.UnClipRectangle();
        EXPECT_EQ(Box(), TRect(0, 0, 100, 80));
        EXPECT_TRUE(HasClip(canvas));
        canvas.UnClipRectangle();
        EXPECT_EQ(canvas.ClipDepth(), 0);
    }
}
