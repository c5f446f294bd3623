// One-pixel lines drawn one after another: lines in one pixel column are
// joined, and the picture stays what drawing each line on its own gives when
// the pen, the pixels or the position change between them.
#include "pixelart.h"
#include <functional>
#include <gtest/gtest.h>

using Rows = std::vector<std::string>;

class CanvasLines : public ::testing::Test {
protected:
    CanvasLines() : C(Bmp.Canvas()) {}
    void Sheet(int w, int h) {
        Bmp.SetSize(w, h);
        C = Bmp.Canvas();
    }
    void Line(int x0, int y0, int x1, int y1) {
        C->MoveTo(x0, y0);
        C->LineTo(x1, y1);
    }
    TBitmap Bmp;
    TCanvas* C;
};

TEST_F(CanvasLines, ALaterPenColourPaintsOverTheColumnAgain) {
    Sheet(3, 8);
    C->MoveTo(1, 1);
    C->LineTo(1, 7);
    C->Pen()->SetColor(clRed);
    C->LineTo(1, 3);
    C->Pen()->SetColor(clBlack);
    C->LineTo(1, 5); // black over red again
    EXPECT_EQ(Art(Bmp), (Rows{"...", ".#.", ".#.", ".#.", ".#.", ".r.", ".r.", ".r."}));
}

TEST_F(CanvasLines, PixelsChangedBetweenLinesArePaintedAgain) {
    Sheet(3, 8);
    Line(1, 1, 1, 7);
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(0, 2, 3, 4)); // over the line
    C->LineTo(1, 0);
    static_cast<uint32_t*>(Bmp.ScanLine(5))[1] = 0xFF00FF00; // lime, written directly
    C->LineTo(1, 7);
    EXPECT_EQ(Art(Bmp), (Rows{".#.", ".#.", "b#b", "b#b", ".#.", ".#.", ".#.", ".#."}));
}

TEST_F(CanvasLines, AMoveInTheColumnStartsAfreshWhereItLands) {
    Sheet(3, 10);
    Line(1, 1, 1, 3);
    Line(1, 6, 1, 8); // apart from the first: the gap stays white
    Line(1, 4, 1, 5);
    EXPECT_EQ(Art(Bmp),
              (Rows{"...", ".#.", ".#.", "...", ".#.", "...", ".#.", ".#.", "...", "..."}));
}

TEST_F(CanvasLines, XorLinesAreNeverJoined) {
    Sheet(3, 6);
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetColor(clWhite);
    C->MoveTo(1, 1);
    C->LineTo(1, 5);
    C->LineTo(1, 3); // back from row 5: row 5 turns, row 4 turns back
    EXPECT_EQ(Art(Bmp), (Rows{"...", ".#.", ".#.", ".#.", "...", ".#."}));
}

TEST_F(CanvasLines, PolylineOfAColumnAndAStepClipped) {
    Sheet(5, 8);
    const TPoint p[] = {{1, 0}, {1, 6}, {1, 2}, {3, 4}, {3, 9}};
    C->IntersectClipRect(0, 1, 5, 7);
    C->Polyline(p, 5);
    EXPECT_EQ(Art(Bmp),
              (Rows{".....", ".#...", ".#...", ".##..", ".#.#.", ".#.#.", ".#.#.", "....."}));
}

// A polyline ending in a column: its last point is left out unless an earlier
// point of the column holds that row (repeats of the last point draw nothing).
TEST_F(CanvasLines, PolylineEndsOneShortOfItsLastPoint) {
    const struct {
        std::vector<TPoint> Points;
        const char* Column; // rows 0..7 of column 1
    } cases[] = {
        {{{1, 1}, {1, 5}, {1, 3}, {1, 5}, {1, 5}}, ".#####.."},
        {{{1, 1}, {1, 3}, {1, 6}, {1, 6}}, ".#####.."},
        {{{1, 6}, {1, 4}, {1, 1}}, "..#####."},
        {{{1, 2}, {1, 2}}, "........"},
        {{{0, 0}, {1, 4}}, "..##...."}, // a steep line: its own last pixel left out
    };
    for (const auto& c : cases) {
        Sheet(3, 8);
        C->Brush()->SetColor(clWhite);
        C->FillRect(TRect(0, 0, 3, 8));
        C->Polyline(c.Points.data(), int(c.Points.size()));
        std::string column;
        for (const std::string& row : Art(Bmp))
            column += row[1];
        EXPECT_EQ(column, c.Column) << c.Points.size() << " points from row " << c.Points[0].y;
    }
}

// Boxes drawn between lines of one column (candles: a wick, then its body)
// leave the picture each call gives on its own, whatever the brush; the line
// after the box paints its column again over the box.
TEST_F(CanvasLines, BoxesBetweenLinesOfAColumnLeaveWhatEachCallPaints) {
    const struct {
        TBrushStyle Style;
        TRect Box;
    } cases[] = {
        {bsSolid, TRect(0, 2, 3, 6)}, {bsSolid, TRect(1, 0, 2, 9)},
        {bsClear, TRect(0, 2, 3, 6)}, {bsDiagCross, TRect(0, 1, 3, 8)},
        {bsSolid, TRect(3, 2, 1, 6)}, // corners swapped
    };
    for (const auto& c : cases) {
        auto draw = [&](TBitmap& B, bool Apart) {
            B.SetSize(3, 9);
            TCanvas* k = B.Canvas();
            // Asking for the handle ends any line run: each call then goes
            // the general way.
            auto step = [&] {
                if (Apart) k->Handle();
            };
            k->Brush()->SetColor(clBlue);
            k->Brush()->SetStyle(c.Style);
            k->MoveTo(1, 8);
            step();
            k->LineTo(1, 0);
            step();
            k->Rectangle(c.Box);
            step();
            k->MoveTo(1, 8);
            step();
            k->LineTo(1, 3);
            step();
            k->Rectangle(TRect(0, 7, 3, 9));
            step();
            k->LineTo(1, 8);
        };
        TBitmap run, apart;
        draw(run, false);
        draw(apart, true);
        EXPECT_EQ(Art(run), Art(apart)) << int(c.Style) << " box from row " << c.Box.Top;
    }
    Sheet(3, 9);
    C->Brush()->SetColor(clBlue);
    Line(1, 8, 1, 0);
    C->Rectangle(TRect(0, 2, 3, 6));
    Line(1, 8, 1, 3);
    EXPECT_EQ(Art(Bmp), (Rows{"...", ".#.", "###", "#b#", "###", "###", ".#.", ".#.", ".#."}));
}

// Marks drawn in one call leave the picture, and the position, of their lines
// and boxes drawn one call at a time.
TEST_F(CanvasLines, MarksInOneCallPaintWhatTheirCallsApartPaint) {
    using M = TCanvas::TColumnBox;
    const std::vector<std::vector<M>> cases = {
        {{TRect(0, 3, 3, 6), 1, 8, 0, true, true}, {TRect(0, 5, 3, 8), 1, 9, 2, true, true}},
        {{TRect(0, 2, 3, 4), 1, 1, 7, true, false}, {TRect(0, 2, 3, 4), 1, 8, 3, true, true}},
        {{TRect(3, 6, 1, 2), 2, 0, 9, false, true}, {TRect(0, 0, 1, 1), 2, 9, 0, true, false}},
        {{TRect(-5, -9, 9, 1), 0, 5, 5, true, true}, {TRect(1, 4, 2, 5), 0, -3, 20, true, true}},
        {{TRect(0, 1, 2, 3), 1, 4, 6, true, true}, {TRect(0, 7, 3, 9), 1, 6, 4, true, false}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        TBitmap one, apart;
        for (TBitmap* b : {&one, &apart}) {
            b->SetSize(3, 9);
            b->Canvas()->Brush()->SetColor(clBlue);
            b->Canvas()->MoveTo(2, 2);
        }
        ASSERT_TRUE(one.Canvas()->ColumnsAndBoxes(cases[i])) << i;
        TCanvas* k = apart.Canvas();
        for (const M& m : cases[i]) {
            if (m.HasColumn) {
                k->MoveTo(m.X, m.Y0);
                k->LineTo(m.X, m.Y1);
            }
            if (m.HasBox) k->Rectangle(m.Box);
            k->Handle(); // ends the line run
        }
        EXPECT_EQ(Art(one), Art(apart)) << "case " << i;
        EXPECT_EQ(one.Canvas()->PenPos(), apart.Canvas()->PenPos()) << "case " << i;
    }
}

// Where only single calls draw as they should, the marks are refused whole.
TEST_F(CanvasLines, MarksAreRefusedUntouchedWhereOnlySingleCallsCanDrawThem) {
    const std::vector<TCanvas::TColumnBox> marks = {{TRect(0, 2, 3, 5), 1, 8, 0, true, true}};
    const std::function<void(TCanvas*)> setups[] = {
        [](TCanvas* k) { k->OnChange = [](TObject*) {}; },
        [](TCanvas* k) { k->OnChanging = [](TObject*) {}; },
        [](TCanvas* k) { k->Pen()->SetStyle(psDash); },
        [](TCanvas* k) { k->Pen()->SetStyle(psClear); },
        [](TCanvas* k) { k->Pen()->SetWidth(2); },
        [](TCanvas* k) { k->Brush()->SetStyle(bsDiagCross); },
    };
    for (size_t i = 0; i < std::size(setups); ++i) {
        TBitmap b(3, 9);
        TCanvas* k = b.Canvas();
        k->MoveTo(2, 2);
        setups[i](k);
        const Rows before = Art(b);
        TCanvas::TDirectPixels pixels;
        EXPECT_FALSE(k->DirectPixels(pixels)) << i;
        EXPECT_FALSE(k->ColumnsAndBoxes(marks)) << i;
        EXPECT_EQ(Art(b), before) << i;
        EXPECT_EQ(k->PenPos(), TPoint(2, 2)) << i;
    }
}

// The pixels handed out for writing are the image's, with the clip box and
// the pen's and brush's pixels that marks paint; a clip of more than one box
// is refused.
TEST_F(CanvasLines, DirectPixelsAreTheImageAndThePaintOfMarks) {
    TBitmap marked(6, 9), written(6, 9);
    for (TBitmap* b : {&marked, &written}) {
        b->Canvas()->IntersectClipRect(1, 1, 5, 8);
        b->Canvas()->Brush()->SetColor(clBlue);
    }
    ASSERT_TRUE(marked.Canvas()->ColumnsAndBoxes(
        std::vector<TCanvas::TColumnBox>{{TRect(1, 4, 5, 8), 2, 1, 4, true, true}}));
    TCanvas::TDirectPixels p;
    ASSERT_TRUE(written.Canvas()->DirectPixels(p));
    EXPECT_EQ(p.Clip, TRect(1, 1, 5, 8));
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 5; ++x) {
            const bool box = y >= 4, outline = x == 1 || x == 4 || y == 4 || y == 7;
            if (box || x == 2) p.Origin[y * p.Stride + x] = !box || outline ? p.Pen : p.Brush;
        }
    EXPECT_EQ(Art(written), Art(marked));
    written.Canvas()->ExcludeClipRect(2, 2, 3, 3);
    EXPECT_FALSE(written.Canvas()->DirectPixels(p));
}
