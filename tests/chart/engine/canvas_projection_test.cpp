// The 3D canvas: the three mappings and their inverse, perspective, the
// buffered paint cycle and the flat front plane.
#include "chart/engine/tecanvas.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

class Projection : public ::testing::Test {
protected:
    // A 200 x 100 scene centred at (100, 50), depth centre 25.
    void Init(bool Is3D = true) {
        canvas.InitWindow(dest.Canvas(), &options, clWhite, Is3D, TRect(0, 0, 200, 100));
        canvas.Projection(50, TRect(0, 0, 200, 100), TRect(0, 0, 200, 100));
    }
    TPoint At(int X, int Y, int Z) { return canvas.Calculate3DPosition(X, Y, Z); }
    TPoint Back(TPoint P, int Z) {
        canvas.Calculate2DPosition(P.x, P.y, Z);
        return P;
    }
    TBitmap dest{200, 100};
    TView3DOptions options;
    TTeeCanvas3D canvas;
};

} // namespace

TEST_F(Projection, FlatIgnoresDepthZoomAndOffsets) {
    options.SetZoom(300);
    options.SetHorizOffset(40);
    Init(false);
    EXPECT_EQ(At(10, 20, 99), TPoint(10, 20));
    EXPECT_EQ(Back({10, 20}, 99), TPoint(10, 20));
}

TEST_F(Projection, OrthogonalShearsByTheAngle) {
    struct Case {
        int Angle, Zoom, HorizOffset;
        TPoint Expected; // of (110, 60, 10)
    } cases[] = {
        {45, 100, 0, {120, 50}},  // depth goes right and up one for one
        {135, 100, 0, {100, 50}}, // sign -1, same ratio
        {90, 100, 0, {120, 50}},  // cosine below 0.01: ratio 1
        {45, 200, 7, {147, 50}},  // zoomed about the centre, then offset
        {60, 100, 0, {120, 43}},  // tan 60 = 1.732: 10 - 17.32 rounds to -7
    };
    for (const Case& c : cases) {
        options.SetOrthoAngle(c.Angle);
        options.SetZoom(c.Zoom);
        options.SetHorizOffset(c.HorizOffset);
        Init();
        SCOPED_TRACE(c.Angle);
        EXPECT_TRUE(canvas.IsOrthogonal());
        EXPECT_EQ(At(110, 60, 10), c.Expected);
        EXPECT_EQ(Back(c.Expected, 10), TPoint(110, 60));
    }
}

TEST_F(Projection, UnrotatedViewIsAZoomAboutTheCentre) {
    options.SetOrthogonal(false);
    options.SetRotation(0);
    options.SetElevation(0);
    options.SetPerspective(0);
    options.SetZoom(150);
    options.SetVertOffset(-4);
    Init();
    const auto& m = canvas.Matrix();
    EXPECT_DOUBLE_EQ(m[4], 1.0); // m5
    EXPECT_DOUBLE_EQ(m[3], 1.0); // m4
    for (int i : {2, 5, 6, 7})
        EXPECT_NEAR(m[i], 0.0, 1e-15);
    EXPECT_EQ(At(110, 60, 77), TPoint(115, 61)); // (10, 10) * 1.5 + (100, 46)
    EXPECT_EQ(Back({115, 61}, 77), TPoint(110, 60));
}

TEST_F(Projection, RotationAboutTheVerticalAxisInvertsExactly) {
    options.SetOrthogonal(false);
    options.SetRotation(330);
    options.SetElevation(0);
    options.SetPerspective(0);
    Init();
    for (TPoint p : {TPoint(10, 10), TPoint(150, 90), TPoint(100, 50)}) {
        const int z = 40;
        const TPoint screen = At(p.x, p.y, z);
        const TPoint back = Back(screen, z);
        EXPECT_NEAR(back.x, p.x, 1);
        EXPECT_EQ(back.y, p.y);
    }
    // Depth moves points sideways when turned.
    EXPECT_NE(At(100, 50, 0).x, At(100, 50, 50).x);
}

TEST_F(Projection, PerspectiveEnlargesNearPoints) {
    options.SetOrthogonal(false);
    options.SetRotation(0);
    options.SetElevation(0);
    options.SetPerspective(15);
    Init();
    // factor 15 / 150 / 200; z - 25 = -100 gives scale 1.05: 50 * 1.05 = 52.5 -> 52
    EXPECT_EQ(At(150, 50, -75).x, 152);
    EXPECT_EQ(At(150, 50, 25).x, 150);
}

TEST_F(Projection, PerspectiveOfAZeroWidthRectangleStaysFinite) {
    options.SetOrthogonal(false);
    options.SetRotation(0);
    options.SetElevation(0);
    options.SetPerspective(15);
    canvas.InitWindow(dest.Canvas(), &options, clWhite, true, TRect(0, 0, 200, 100));
    canvas.Projection(50, TRect(0, 0, 200, 100), TRect(100, 0, 100, 100));
    EXPECT_EQ(canvas.Calculate3DPosition(110, 60, -75), TPoint(110, 60));
}

TEST_F(Projection, FrontPlaneDrawsFlatEvenWhenOrthogonal) {
    options.SetZoom(200);
    Init();
    EXPECT_NE(At(110, 60, 0), TPoint(110, 60));
    canvas.FrontPlaneBegin();
    EXPECT_EQ(At(110, 60, 30), TPoint(110, 60));
    canvas.FrontPlaneEnd();
    EXPECT_EQ(At(110, 60, 0), TPoint(120, 70));
}

TEST_F(Projection, ZeroZoomLeavesInversePointsAlone) {
    options.SetZoom(0);
    Init();
    EXPECT_EQ(Back({33, 44}, 5), TPoint(33, 44));
}

TEST(CanvasBuffer, PaintCycleDrawsOffScreenThenCopies) {
    TBitmap window(60, 40);
    TTeeCanvas3D canvas;
    const TRect user(20, 10, 50, 30);
    EXPECT_EQ(canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, user),
              TRect(0, 0, 30, 20));
    ASSERT_NE(canvas.Bitmap(), nullptr);
    EXPECT_EQ(canvas.PlatformCanvas(), canvas.Bitmap()->Canvas());
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 30, 20));
    EXPECT_EQ(window.Canvas()->Pixels(20, 10), clWhite); // not yet on the window
    EXPECT_TRUE(canvas.Dirty());
    canvas.ShowImage(window.Canvas(), window.Canvas(), user);
    EXPECT_FALSE(canvas.Dirty());
    EXPECT_EQ(window.Canvas()->Pixels(20, 10), clRed);
    EXPECT_EQ(window.Canvas()->Pixels(49, 29), clRed);
    EXPECT_EQ(window.Canvas()->Pixels(50, 30), clWhite);
    EXPECT_EQ(canvas.PlatformCanvas(), window.Canvas());

    // A repaint without changes is one copy of the kept image.
    window.Canvas()->Brush()->SetColor(clWhite);
    window.Canvas()->FillRect(TRect(0, 0, 60, 40));
    EXPECT_TRUE(canvas.ReDrawBitmap());
    EXPECT_EQ(window.Canvas()->Pixels(0, 0), clRed);
    canvas.Invalidate();
    EXPECT_FALSE(canvas.ReDrawBitmap());
}

// A frame shown on a whole bitmap gives it the frame's pixels without a copy,
// and the next frame is drawn over the last one there; what the bitmap ends
// up with is always what a copy of the buffer would have given it.
TEST(CanvasBuffer, WholeBitmapsEndAsIfCopiedFrameAfterFrame) {
    const TRect all(0, 0, 60, 40);
    TBitmap target(60, 40);
    int changes = 0;
    target.Canvas()->OnChange = [&](TObject*) { ++changes; };
    TTeeCanvas3D canvas;
    const auto frame = [&](TColor Color, const TRect& Part) {
        canvas.InitWindow(target.Canvas(), nullptr, clWhite, false, all);
        canvas.Brush()->SetColor(Color);
        canvas.FillRect(Part);
        canvas.ShowImage(target.Canvas(), target.Canvas(), all);
    };
    frame(clRed, all);
    EXPECT_EQ(target.Canvas()->Pixels(59, 39), clRed);
    EXPECT_EQ(changes, 1);
    frame(clBlue, TRect(0, 0, 30, 40)); // over the red frame, in place
    EXPECT_EQ(target.Canvas()->Pixels(10, 10), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(40, 10), clRed);
    EXPECT_EQ(changes, 2);
    // Drawn on in between: the next frame starts from the buffer's last frame.
    target.Canvas()->Brush()->SetColor(clLime);
    target.Canvas()->FillRect(all);
    frame(clYellow, TRect(0, 0, 10, 40));
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clYellow);
    EXPECT_EQ(target.Canvas()->Pixels(20, 5), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(40, 5), clRed);
    // The buffer repaints what was shown.
    TBitmap window(60, 40);
    canvas.SetCanvas(window.Canvas());
    ASSERT_TRUE(canvas.ReDrawBitmap());
    EXPECT_EQ(window.Canvas()->Pixels(40, 5), clRed);
}

TEST(CanvasBuffer, AClippedBitmapGetsACopyOfItsClip) {
    TBitmap target(60, 40);
    target.Canvas()->IntersectClipRect(0, 0, 30, 40);
    TTeeCanvas3D canvas;
    canvas.InitWindow(target.Canvas(), nullptr, clWhite, false, TRect(0, 0, 60, 40));
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 60, 40));
    canvas.ShowImage(target.Canvas(), target.Canvas(), TRect(0, 0, 60, 40));
    target.Canvas()->SelectClipRgn(nullptr);
    EXPECT_EQ(target.Canvas()->Pixels(29, 5), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(30, 5), clWhite);
}

TEST(CanvasBuffer, TurningTheBufferOffFreesItAndDrawsDirectly) {
    TBitmap window(60, 40);
    TTeeCanvas3D canvas;
    canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 60, 40));
    canvas.ShowImage(window.Canvas(), window.Canvas(), TRect(0, 0, 60, 40));
    canvas.SetUseBuffer(false);
    EXPECT_EQ(canvas.Bitmap(), nullptr);
    EXPECT_TRUE(canvas.Dirty());
    EXPECT_EQ(canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(5, 5, 20, 20)),
              TRect(5, 5, 20, 20));
    EXPECT_EQ(canvas.PlatformCanvas(), window.Canvas());
}

TEST(CanvasBuffer, MonochromeRepaintsThroughTheOptions) {
    struct Options : TView3DOptions {
        int Repaints = 0;
        void Repaint() override { ++Repaints; }
    } options;
    TBitmap window(10, 10);
    TTeeCanvas3D canvas;
    canvas.InitWindow(window.Canvas(), &options, clWhite, true, TRect(0, 0, 10, 10));
    canvas.ShowImage(window.Canvas(), window.Canvas(), TRect(0, 0, 10, 10));
    canvas.SetMonochrome(true);
    canvas.SetMonochrome(true);
    EXPECT_EQ(options.Repaints, 1);
    EXPECT_TRUE(canvas.Dirty());
    TTeeCanvas3D other;
    other.Assign(&canvas);
    EXPECT_TRUE(other.GetMonochrome());
}
