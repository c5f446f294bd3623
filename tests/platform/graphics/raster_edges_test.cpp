// Edges of the pixel engine: lines through complex clip regions, lines in
// every direction, degenerate shapes, rectangles through clip holes, polygons
// with horizontal edges.
#include "pixelart.h"
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

using Rows = std::vector<std::string>;

TEST(RasterEdges, LinesInEveryDirectionLeaveOutTheirEnd) {
    // From the centre to each of the eight neighbours at distance 3.
    const TPoint ends[8] = {{8, 5}, {8, 8}, {5, 8}, {2, 8}, {2, 5}, {2, 2}, {5, 2}, {8, 2}};
    for (const TPoint& e : ends) {
        TBitmap b(11, 11);
        b.Canvas()->MoveTo(5, 5);
        b.Canvas()->LineTo(e.x, e.y);
        EXPECT_EQ(b.Canvas()->Pixels(e.x, e.y), clWhite) << e.x << "," << e.y;
        EXPECT_EQ(b.Canvas()->Pixels(5, 5), clBlack);
        int count = 0;
        for (const auto& row : Art(b))
            for (char ch : row)
                count += ch == '#';
        EXPECT_EQ(count, 3);
    }
}

TEST(RasterEdges, LinesThroughAComplexClipDrawEachPixelOnce) {
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas();
    HRGN e = CreateEllipticRgn(0, 0, 20, 20);
    c->SelectClipRgn(e);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    for (int i = 0; i < 20; ++i) {
        c->MoveTo(0, i);
        c->LineTo(19, 19 - i);
    }
    c->SelectClipRgn(nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            if (!PtInRegion(e, x, y)) {
                EXPECT_EQ(c->Pixels(x, y), clWhite) << x << "," << y;
            }
        }
    // Drawn again, everything is white again: no pixel was drawn twice per pass.
    c->SelectClipRgn(e);
    for (int i = 0; i < 20; ++i) {
        c->MoveTo(0, i);
        c->LineTo(19, 19 - i);
    }
    c->SelectClipRgn(nullptr);
    EXPECT_EQ(InkBox(b), TRect());
    DeleteObject(e);
}

TEST(RasterEdges, LinesOutsideTheSurfaceDrawNothing) {
    TBitmap b(5, 5);
    TCanvas* c = b.Canvas();
    c->MoveTo(-10, -3);
    c->LineTo(20, -1);
    c->MoveTo(6, 0);
    c->LineTo(6, 10);
    c->MoveTo(-1, 10);
    c->LineTo(10, -1); // crosses only the corner outside
    EXPECT_EQ(c->Pixels(4, 4), clWhite);
    EXPECT_EQ(c->Pixels(0, 0), clWhite);
}

TEST(RasterEdges, ZeroLengthLineDrawsNothingButAPixelCan) {
    TBitmap b(3, 3);
    b.Canvas()->MoveTo(1, 1);
    b.Canvas()->LineTo(1, 1);
    EXPECT_EQ(InkBox(b), TRect());
    b.Canvas()->SetPixel(1, 1, clBlack);
    EXPECT_EQ(InkBox(b), TRect(1, 1, 2, 2));
}

TEST(RasterEdges, DegenerateRectanglesAndEllipses) {
    TBitmap b(8, 4);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->Rectangle(1, 1, 2, 3); // one pixel wide: all outline
    c->Rectangle(4, 1, 4, 3); // empty
    c->Ellipse(6, 1, 7, 2);   // one pixel
    EXPECT_EQ(Art(b), (Rows{"........", ".#....#.", ".#......", "........"}));
    c->Rectangle(5, 3, 1, 0); // corners swapped are normalised
    EXPECT_EQ(Art(b)[0], ".####...");
}

// Every pixel of a rectangle as GDI's rule gives it, worked out one by one:
// the outline in the pen and the inside in the brush (the rectangle one pixel
// smaller and all brush without a pen), nothing outside a clip with a hole.
TEST(RasterEdges, RectanglesThroughAClipHolePaintExactlyTheirPixels) {
    const struct {
        TRect R;
        bool Pen, Brush;
    } cases[] = {
        {{2, 2, 14, 10}, true, true},            // around the hole
        {{5, 0, 8, 12}, true, true},             // sides inside the hole
        {{0, 2, 7, 10}, true, true},             // left side outside, right in the hole
        {{6, 2, 16, 10}, true, true},            // left side in the hole, right outside
        {{3, 3, 12, 6}, true, true},             // top and bottom rows through it
        {{0, 3, 16, 5}, true, true},             // two rows: all outline
        {{6, 1, 7, 11}, true, true},             // one column
        {{12, 9, 3, 4}, true, true},             // corners swapped
        {{1, 1, 15, 11}, false, true},           // no pen
        {{4, 2, 13, 9}, true, false},            // hollow
        {{-100000, 6, 100000, 8}, true, true},   // far beyond the bitmap
        {{INT_MIN, 2, INT_MAX, 10}, true, true}, // as wide as coordinates go
        {{6, 6, 6, 9}, true, true},              // empty
    };
    for (const auto& c : cases) {
        TBitmap b(16, 12);
        TCanvas* canvas = b.Canvas();
        canvas->IntersectClipRect(1, 1, 15, 11);
        canvas->ExcludeClipRect(5, 4, 9, 7);
        canvas->Pen()->SetStyle(c.Pen ? psSolid : psClear);
        canvas->Brush()->SetColor(clRed);
        if (!c.Brush) canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(c.R);
        const int l = std::min(c.R.Left, c.R.Right), r = std::max(c.R.Left, c.R.Right);
        const int t = std::min(c.R.Top, c.R.Bottom), bt = std::max(c.R.Top, c.R.Bottom);
        Rows expected;
        for (int y = 0; y < 12; ++y) {
            std::string row;
            for (int x = 0; x < 16; ++x) {
                const bool clip =
                    x >= 1 && x < 15 && y >= 1 && y < 11 && !(x >= 5 && x < 9 && y >= 4 && y < 7);
                char ch = '.';
                if (!c.Pen) {
                    if (c.Brush && x >= l && x < r - 1 && y >= t && y < bt - 1) ch = 'r';
                } else if (x >= l && x < r && y >= t && y < bt) {
                    const bool outline = x == l || x == r - 1 || y == t || y == bt - 1;
                    ch = outline ? '#' : c.Brush ? 'r' : '.';
                }
                row += clip ? ch : '.';
            }
            expected.push_back(row);
        }
        EXPECT_EQ(Art(b), expected)
            << c.R.Left << "," << c.R.Top << "," << c.R.Right << "," << c.R.Bottom;
    }
}

// Narrow framed boxes inside a plain clip box are written row by row; at and
// across its edges they are clipped the general way. Either way each pixel is
// GDI's, drawn one box at a time and as the marks of one call.
TEST(RasterEdges, NarrowBoxesInAPlainClipPaintExactlyTheirPixels) {
    for (bool marks : {false, true})
        for (int w = 1; w <= 11; ++w)
            for (int h = 1; h <= 4; ++h)
                for (const TPoint at : {TPoint(2, 3), TPoint(1, 1), TPoint(15 - w, 11 - h),
                                        TPoint(0, 0), TPoint(16 - w, 5), TPoint(3, 12 - h)}) {
                    const TRect box(at.x, at.y, at.x + w, at.y + h);
                    TBitmap b(16, 12);
                    TCanvas* canvas = b.Canvas();
                    canvas->IntersectClipRect(1, 1, 15, 11);
                    canvas->Brush()->SetColor(clRed);
                    if (marks)
                        ASSERT_TRUE(canvas->ColumnsAndBoxes(
                            std::vector<TCanvas::TColumnBox>{{box, 0, 0, 0, false, true}}));
                    else
                        canvas->Rectangle(box);
                    Rows expected;
                    for (int y = 0; y < 12; ++y) {
                        std::string row;
                        for (int x = 0; x < 16; ++x) {
                            const bool clip = x >= 1 && x < 15 && y >= 1 && y < 11;
                            const bool in =
                                x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
                            const bool outline = w <= 2 || h <= 2 || x == box.Left ||
                                                 x == box.Right - 1 || y == box.Top ||
                                                 y == box.Bottom - 1;
                            row += clip && in ? (outline ? '#' : 'r') : '.';
                        }
                        expected.push_back(row);
                    }
                    EXPECT_EQ(Art(b), expected) << (marks ? "marks " : "") << w << "x" << h
                                                << " at " << at.x << "," << at.y;
                }
}

TEST(RasterEdges, PolygonWithHorizontalEdgesFillsLeftAndTopInside) {
    TBitmap b(8, 6);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->Pen()->SetStyle(psClear);
    const TPoint l[6] = {{1, 1}, {6, 1}, {6, 3}, {4, 3}, {4, 5}, {1, 5}};
    c->Polygon(l, 6);
    EXPECT_EQ(Art(b),
              (Rows{"........", ".rrrrr..", ".rrrrr..", ".rrr....", ".rrr....", "........"}));
}

TEST(RasterEdges, PolygonOfTwoPointsIsAnOutlineOnly) {
    TBitmap b(6, 3);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    const TPoint seg[2] = {{0, 1}, {5, 1}};
    c->Polygon(seg, 2);
    EXPECT_EQ(Art(b)[1], "######");
    EXPECT_EQ(Art(b)[0], "......");
}

TEST(RasterEdges, WideLinesClipLikeThinOnes) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->IntersectClipRect(2, 2, 8, 8);
    c->Pen()->SetWidth(5);
    c->MoveTo(-100, 5);
    c->LineTo(100, 5);
    c->SelectClipRgn(nullptr);
    EXPECT_EQ(InkBox(b), TRect(2, 3, 8, 8));
}

TEST(RasterEdges, ShapesOnAShiftedOriginKeepTheirPixels) {
    TBitmap a(12, 10), b(12, 10);
    a.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->Brush()->SetColor(clRed);
    a.Canvas()->Ellipse(3, 2, 11, 9);
    b.Canvas()->SetWindowOrgEx(-3, -2);
    b.Canvas()->Ellipse(0, 0, 8, 7);
    EXPECT_EQ(Art(a), Art(b));
}

TEST(RasterEdges, ClippedLinesKeepEveryPixelInsideTheClip) {
    // Lines in every direction across a clip of many bands: inside the clip each
    // pixel is what the unclipped line gives, outside nothing is drawn.
    TBitmap clipped(40, 40), open(40, 40);
    HRGN e = CreateEllipticRgn(3, 1, 37, 39);
    clipped.Canvas()->SelectClipRgn(e);
    for (TBitmap* b : {&clipped, &open})
        for (int i = 0; i < 40; i += 3) {
            b->Canvas()->MoveTo(i, 0);
            b->Canvas()->LineTo(39 - i, 39);
            b->Canvas()->MoveTo(0, 39 - i);
            b->Canvas()->LineTo(39, i);
            b->Canvas()->MoveTo(20, 20);
            b->Canvas()->LineTo(i, i % 2 ? 2 : 37);
        }
    clipped.Canvas()->SelectClipRgn(nullptr);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const TColor want = PtInRegion(e, x, y) ? open.Canvas()->Pixels(x, y) : clWhite;
            ASSERT_EQ(clipped.Canvas()->Pixels(x, y), want) << x << "," << y;
        }
    DeleteObject(e);
}

TEST(RasterEdges, DashedCopyPenLinesMatchTheMergedDashesOnBlack) {
    // On black, merging the pen gives exactly the pixels copying it does, by the
    // general per-pixel path: both must agree for every dash, slope and clip.
    auto draw = [](TPenMode Mode, TPenStyle Style) {
        auto b = std::make_unique<TBitmap>(41, 37);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(clBlack);
        c->FillRect(TRect(0, 0, 41, 37));
        HRGN e = CreateEllipticRgn(2, 1, 39, 36);
        c->SelectClipRgn(e);
        c->Pen()->SetColor(clYellow);
        c->Pen()->SetStyle(Style);
        c->Pen()->SetMode(Mode);
        c->SetBkMode(TRANSPARENT);
        c->MoveTo(0, 3);
        for (const TPoint p : {TPoint{40, 3}, {40, 30}, {3, 36}, {20, 0}, {20, 36}, {0, 20}})
            c->LineTo(p.x, p.y);
        c->SelectClipRgn(nullptr);
        DeleteObject(e);
        return b;
    };
    for (const TPenStyle s : {psDash, psDot, psDashDot, psDashDotDot}) {
        const auto copied = draw(pmCopy, s), merged = draw(pmMerge, s);
        int differ = 0, lit = 0;
        for (int y = 0; y < 37; ++y)
            for (int x = 0; x < 41; ++x) {
                differ += copied->Canvas()->Pixels(x, y) != merged->Canvas()->Pixels(x, y);
                lit += copied->Canvas()->Pixels(x, y) == clYellow;
            }
        EXPECT_EQ(differ, 0) << s;
        EXPECT_GT(lit, 40) << s;
    }
}
