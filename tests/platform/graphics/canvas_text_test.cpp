// Text: where the ink lies for each alignment and rotation, metrics, extra
// spacing, opaque backgrounds, clipping rectangles and DrawText.
#include "pixelart.h"
#include "platform/graphics/qtbridge.h"
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <cstring>
#include <gtest/gtest.h>

class CanvasText : public ::testing::Test {
protected:
    TBitmap Bmp{120, 120};
    TCanvas* C = Bmp.Canvas();
    void SetUp() override {
        C->Font()->SetName("Arial");
        C->Font()->SetHeight(-20);
        C->Font()->SetColor(clBlack);
        C->Font()->SetQuality(fqNonAntialiased);
        C->Brush()->SetStyle(bsClear);
    }
    TEXTMETRIC Metrics() {
        TEXTMETRIC tm;
        C->GetTextMetrics(&tm);
        return tm;
    }
};

struct TAlignCase {
    UINT Align;
    // Expected ink relative to the reference point: which side of x and y.
    enum { Right, Left, Around } H;
    enum { Below, AboveDescent, AboveBaseline } V;
};

class CanvasTextAlign : public CanvasText, public ::testing::WithParamInterface<TAlignCase> {};

TEST_P(CanvasTextAlign, InkLiesWhereTheFlagsSay) {
    const TAlignCase c = GetParam();
    const int x = 60, y = 60;
    C->SetTextAlign(c.Align);
    C->TextOut(x, y, "HH");
    const TRect ink = InkBox(Bmp);
    const int w = C->TextWidth("HH");
    const TEXTMETRIC tm = Metrics();
    ASSERT_FALSE(ink.IsEmpty());
    switch (c.H) {
    case TAlignCase::Right:
        EXPECT_GE(ink.Left, x);
        EXPECT_LE(ink.Right, x + w);
        break;
    case TAlignCase::Left:
        EXPECT_LE(ink.Right, x);
        EXPECT_GE(ink.Left, x - w);
        break;
    case TAlignCase::Around:
        EXPECT_LE(std::abs((ink.Left + ink.Right) / 2 - x), 2);
        break;
    }
    switch (c.V) {
    case TAlignCase::Below: // the cell's top is y; capitals start below the internal leading
        EXPECT_GE(ink.Top, y);
        EXPECT_EQ(ink.Bottom, y + tm.tmAscent);
        break;
    case TAlignCase::AboveDescent: // the cell's bottom is y
        EXPECT_EQ(ink.Bottom, y - tm.tmDescent);
        break;
    case TAlignCase::AboveBaseline: // capitals sit on y
        EXPECT_EQ(ink.Bottom, y);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllCombinations, CanvasTextAlign,
    ::testing::Values(
        TAlignCase{TA_LEFT | TA_TOP, TAlignCase::Right, TAlignCase::Below},
        TAlignCase{TA_RIGHT | TA_TOP, TAlignCase::Left, TAlignCase::Below},
        TAlignCase{TA_CENTER | TA_TOP, TAlignCase::Around, TAlignCase::Below},
        TAlignCase{TA_LEFT | TA_BOTTOM, TAlignCase::Right, TAlignCase::AboveDescent},
        TAlignCase{TA_RIGHT | TA_BOTTOM, TAlignCase::Left, TAlignCase::AboveDescent},
        TAlignCase{TA_CENTER | TA_BOTTOM, TAlignCase::Around, TAlignCase::AboveDescent},
        TAlignCase{TA_LEFT | TA_BASELINE, TAlignCase::Right, TAlignCase::AboveBaseline},
        TAlignCase{TA_RIGHT | TA_BASELINE, TAlignCase::Left, TAlignCase::AboveBaseline},
        TAlignCase{TA_CENTER | TA_BASELINE, TAlignCase::Around, TAlignCase::AboveBaseline}));

TEST_F(CanvasText, Rotated90RunsUpwardsRightOfThePoint) {
    C->Font()->SetOrientation(900);
    const int w = C->TextWidth("HHH");
    C->TextOut(40, 100, "HHH");
    const TRect ink = InkBox(Bmp);
    const TEXTMETRIC tm = Metrics();
    EXPECT_GE(ink.Left, 40);
    EXPECT_LE(ink.Right, 40 + tm.tmHeight);
    EXPECT_LE(ink.Bottom, 100);
    EXPECT_GE(ink.Top, 100 - w);
    EXPECT_GT(ink.Height(), ink.Width());
}

TEST_F(CanvasText, Rotated270RunsDownwardsLeftOfThePoint) {
    C->Font()->SetOrientation(2700);
    const int w = C->TextWidth("HHH");
    C->TextOut(80, 10, "HHH");
    const TRect ink = InkBox(Bmp);
    const TEXTMETRIC tm = Metrics();
    EXPECT_LE(ink.Right, 80);
    EXPECT_GE(ink.Left, 80 - tm.tmHeight);
    EXPECT_GE(ink.Top, 10);
    EXPECT_LE(ink.Bottom, 10 + w);
}

// Underline and strike-out lines run the text's whole length inside its cell,
// upright or turned.
struct TDecorationCase {
    const char* Name;
    TFontStyle Style;
    int Angle;
};

class CanvasTextDecoration : public CanvasText,
                             public ::testing::WithParamInterface<TDecorationCase> {};

TEST_P(CanvasTextDecoration, LinesRunAlongTheTextInsideItsCell) {
    const TDecorationCase c = GetParam();
    C->Font()->SetStyle(TFontStyles() << c.Style);
    C->Font()->SetOrientation(c.Angle);
    const int w = C->TextWidth("HH");
    const TEXTMETRIC tm = Metrics();
    const bool up = c.Angle == 900;
    const TPoint at = up ? TPoint(40, 100) : TPoint(20, 40);
    C->TextOut(at.x, at.y, "HH");
    const TRect cell = up ? TRect(at.x, at.y - w, at.x + tm.tmHeight, at.y)
                          : TRect(at.x, at.y, at.x + w, at.y + tm.tmHeight);
    const TRect ink = InkBox(Bmp);
    EXPECT_GE(ink.Left, cell.Left - 1);
    EXPECT_GE(ink.Top, cell.Top - 1);
    EXPECT_LE(ink.Right, cell.Right + 1);
    EXPECT_LE(ink.Bottom, cell.Bottom + 1);
    // Some row (column when turned) is inked along nearly the whole text.
    int longest = 0;
    for (int i = 0; i < (up ? Bmp.Width() : Bmp.Height()); ++i) {
        int n = 0;
        for (int j = 0; j < (up ? Bmp.Height() : Bmp.Width()); ++j)
            n += (up ? C->Pixels(i, j) : C->Pixels(j, i)) != clWhite;
        longest = std::max(longest, n);
    }
    EXPECT_GE(longest, w - 2);
}

INSTANTIATE_TEST_SUITE_P(Styles, CanvasTextDecoration,
                         ::testing::Values(TDecorationCase{"Underline", fsUnderline, 0},
                                           TDecorationCase{"StrikeOut", fsStrikeOut, 0},
                                           TDecorationCase{"UnderlineUp", fsUnderline, 900},
                                           TDecorationCase{"StrikeOutUp", fsStrikeOut, 900}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CanvasText, MetricsAddUp) {
    const TEXTMETRIC tm = Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(C->TextHeight("Wg"), tm.tmHeight);
    EXPECT_EQ(C->TextExtent("W").cy, tm.tmHeight);
    EXPECT_EQ(C->TextWidth("HH"), 2 * C->TextWidth("H"));
    EXPECT_EQ(C->TextWidth(""), 0);
}

TEST_F(CanvasText, FontsMapToMetricTwinsSoWidthsAreFixed) {
    // Arial at 20 pixels: the metric twin gives these advances on every machine.
    C->Font()->SetHeight(-20);
    EXPECT_EQ(C->TextWidth("H"), 14);
    EXPECT_EQ(C->TextWidth("1234567890"), 110);
    C->Font()->SetName("Courier New");
    EXPECT_EQ(C->TextWidth("iiii"), C->TextWidth("WWWW"));
}

TEST_F(CanvasText, ExtraSpaceIsAddedAfterEachCharacter) {
    const int plain = C->TextWidth("abc");
    C->SetTextCharacterExtra(3);
    EXPECT_EQ(C->TextWidth("abc"), plain + 9);
}

TEST_F(CanvasText, TextOutMovesThePenPastTheText) {
    C->TextOut(5, 7, "abc");
    EXPECT_EQ(C->PenPos(), TPoint(5 + C->TextWidth("abc"), 7));
}

TEST_F(CanvasText, UpdateCpTakesAndAdvancesTheCurrentPosition) {
    C->SetTextAlign(TA_UPDATECP);
    C->MoveTo(10, 10);
    C->TextOutA(0, 0, "ab", 2);
    TPoint p;
    C->MoveToEx(0, 0, &p);
    EXPECT_EQ(p, TPoint(10 + C->TextWidth("ab"), 10));
}

TEST_F(CanvasText, OpaqueModeFillsTheCellWithTheBackColour) {
    C->SetBkMode(OPAQUE);
    C->SetBkColor(ColorToRGB(clRed));
    C->TextOut(10, 10, "i");
    const TEXTMETRIC tm = Metrics();
    EXPECT_EQ(InkBox(Bmp), TRect(10, 10, 10 + C->TextWidth("i"), 10 + tm.tmHeight));
}

TEST_F(CanvasText, TextRectClipsToItsRectangle) {
    C->TextRect(TRect(10, 10, 20, 22), 10, 10, "WWWWW");
    const TRect ink = InkBox(Bmp);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, 10);
    EXPECT_EQ(ink.Right, 20);
    EXPECT_EQ(ink.Bottom, 22);
}

TEST_F(CanvasText, DrawTextCentresAndMeasures) {
    TRect r(0, 0, 120, 40);
    const int h = C->DrawText("Hi", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(h, Metrics().tmHeight);
    const TRect ink = InkBox(Bmp);
    EXPECT_LE(std::abs((ink.Left + ink.Right) / 2 - 60), 2);
    TRect calc(0, 0, 0, 0);
    C->DrawText("one\ntwo", calc, DT_CALCRECT);
    EXPECT_EQ(calc.Height(), 2 * Metrics().tmHeight);
    EXPECT_EQ(calc.Width(), std::max(C->TextWidth("one"), C->TextWidth("two")));
}

TEST_F(CanvasText, Windows1252CharactersDraw) {
    C->TextOut(5, 5, "\xB0\x80"); // degree sign and euro sign
    EXPECT_FALSE(InkBox(Bmp).IsEmpty());
}

// Text on a bitmap is Qt's own glyph rendering, pixel for pixel, over any
// background, in any colour, antialiased or not, inside a clipping rectangle:
// for a font's first texts and once it is drawn often enough to be drawn from
// kept glyph masks.
struct TQtTextCase {
    const char* Face;
    int Height;
    TFontStyles Style;
    TFontQuality Quality;
};

class CanvasTextAsQt : public ::testing::TestWithParam<TQtTextCase> {};

TEST_P(CanvasTextAsQt, PixelsEqualQtsGlyphRun) {
    const TQtTextCase c = GetParam();
    const AnsiString text = "0123456789 -+,.%e AaBgjQWxyz\xB0\x80\xE9|";
    const auto setFont = [&c](TCanvas* cv) {
        cv->Font()->SetName(c.Face);
        cv->Font()->SetHeight(c.Height);
        cv->Font()->SetStyle(c.Style);
        cv->Font()->SetQuality(c.Quality);
        cv->Brush()->SetStyle(bsClear);
    };
    const auto check = [&](const char* When) {
        SCOPED_TRACE(When);
        TBitmap bmp(260, 60);
        QImage& image = *BitmapImage(&bmp);
        uint32_t seed = 7;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8));
        QImage expected = image.copy();
        TCanvas* cv = bmp.Canvas();
        setFont(cv);
        // The same glyphs where the canvas lays them out, drawn by Qt.
        const QRawFont raw = QRawFont::fromFont(LogFontToQFont(cv->Font()->LogFont()));
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(raw.glyphIndexesForString(AnsiToQString(text)));
        QList<QPointF> positions;
        for (int i = 0; i < text.Length(); ++i)
            positions.append(QPointF(cv->TextWidth(text.SubString(1, i)), 0));
        run.setPositions(positions);
        TEXTMETRIC tm;
        cv->GetTextMetrics(&tm);
        const TColor colors[] = {TColor(0x3060C0), clBlack, TColor(0xE0F0FF)};
        const TRect clip(20, 38, 140, 50);
        for (int line = 0; line < 3; ++line) {
            cv->Font()->SetColor(colors[line]);
            const TPoint at(3 + line % 2, 2 + line * 16);
            QPainter p(&expected);
            if (line < 2)
                cv->TextOut(at.x, at.y, text);
            else {
                cv->TextRect(clip, at.x, at.y, text);
                p.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
            }
            p.setRenderHint(QPainter::TextAntialiasing, c.Quality != fqNonAntialiased);
            p.setPen(ToQColor(colors[line]));
            p.drawGlyphRun(QPointF(at.x, at.y + tm.tmAscent), run);
        }
        EXPECT_TRUE(image == expected);
    };
    check("first texts");
    TBitmap scratch(260, 20);
    setFont(scratch.Canvas());
    for (int i = 0; i < 100; ++i)
        scratch.Canvas()->TextOut(0, 0, text);
    check("drawn often");
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, CanvasTextAsQt,
    ::testing::Values(TQtTextCase{"Arial", -11, {}, fqDefault},
                      TQtTextCase{"Arial", -13, TFontStyles() << fsBold, fqDefault},
                      TQtTextCase{"Times New Roman", -17, TFontStyles() << fsItalic, fqDefault},
                      TQtTextCase{"Courier New", 14, TFontStyles() << fsBold << fsItalic,
                                  fqDefault},
                      TQtTextCase{"Tahoma", -11, {}, fqNonAntialiased},
                      TQtTextCase{"Verdana", -24, TFontStyles() << fsBold, fqNonAntialiased}));
