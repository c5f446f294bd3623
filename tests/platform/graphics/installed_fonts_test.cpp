// A face that is not bundled draws in the installed family of its name; a
// name installed nowhere draws in the face the system substitutes for it, or
// in the default face's twin when the system has only its default face.
#include "platform/graphics/qtbridge.h"
#include "platform/rtl/rtlmath.h"
#include "support/installed_fonts.h"
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The width of Text in a font file at Px pixels as the canvas lays text out:
// every advance rounded to whole pixels, no kerning.
int FileWidth(const std::string& File, int Px, const AnsiString& Text) {
    EnsureGuiApplication();
    const QRawFont raw(QString::fromStdString(File), Px, QFont::PreferNoHinting);
    int width = 0;
    for (const QPointF& a :
         raw.advancesForGlyphIndexes(raw.glyphIndexesForString(AnsiToQString(Text))))
        width += int(std::lround(a.x()));
    return width;
}

// The file fontconfig holds for a face, the outline format first.
std::string FileOf(const std::string& Pattern) {
    for (const char* format : {":fontformat=CFF", ":fontformat=TrueType", ""}) {
        const auto files = qmtest::FontList(Pattern + format, "%{file}");
        if (!files.empty()) return files.front();
    }
    return "";
}

constexpr char Sample[] = "Ohm 1,234.5 V \xB0"
                          "C \xB5"
                          "A Wxyz";
constexpr char LiberationSans[] =
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

TEST(InstalledFonts, TextWidthsComeFromTheFamilyNamed) {
    QM_REQUIRE_FONT("URW Gothic");
    QM_REQUIRE_FONT("Nimbus Roman");
    QM_REQUIRE_FONT("C059");
    QM_REQUIRE_FONT("DejaVu Sans Condensed");
    const struct {
        const char* Face;
        TFontStyles Style;
        const char* Pattern; // the face as fontconfig names it
    } rows[] = {
        {"URW Gothic", {}, "URW Gothic:style=Book"},
        {"urw gothic", {fsBold}, "URW Gothic:style=Demi"},
        {"Nimbus Roman", {}, "Nimbus Roman:style=Regular"},
        {"Nimbus Roman", {fsItalic}, "Nimbus Roman:style=Italic"},
        {"C059", {}, "C059:style=Roman"},
        {"C059", {fsBold, fsItalic}, "C059:style=Bold Italic"},
        // An extra style of a bundled family is a family of its own; the
        // bundled name keeps its file.
        {"DejaVu Sans Condensed", {}, "DejaVu Sans Condensed:style=Book"},
        {"DejaVu Sans", {}, "DejaVu Sans:style=Book:width=100"},
    };
    TBitmap bmp(10, 10);
    TFont* font = bmp.Canvas()->Font();
    for (const auto& row : rows) {
        const std::string file = FileOf(row.Pattern);
        ASSERT_FALSE(file.empty()) << row.Pattern;
        for (int size : {8, 10, 12, 20}) {
            font->SetName(row.Face);
            font->SetStyle(row.Style);
            font->SetSize(size);
            const int px = MulDiv(size, 96, 72);
            EXPECT_EQ(bmp.Canvas()->TextWidth(Sample), FileWidth(file, px, Sample))
                << row.Face << " " << size << " pt (" << file << ")";
        }
    }
    // Each family measures differently from the default face's twin, which
    // is what a name that is not bundled used to get.
    for (const char* face : {"URW Gothic", "Nimbus Roman", "C059"}) {
        font->SetName(face);
        font->SetStyle({});
        font->SetSize(10);
        EXPECT_NE(bmp.Canvas()->TextWidth(Sample), FileWidth(LiberationSans, 13, Sample)) << face;
    }
}

TEST(InstalledFonts, ANameInstalledNowhereTakesTheDefaultFacesTwin) {
    TBitmap bmp(10, 10);
    TFont* font = bmp.Canvas()->Font();
    font->SetName("No Such Face Anywhere");
    font->SetSize(10);
    EXPECT_EQ(bmp.Canvas()->TextWidth(Sample), FileWidth(LiberationSans, 13, Sample));
    EXPECT_EQ(MapFontFamily("No Such Face Anywhere"), "Liberation Sans");
    EXPECT_TRUE(SystemFontsRead());
}

// A name no font carries takes the system's substitute, as fontconfig's own
// tool matches it; the system's default face stands for no substitute.
TEST(InstalledFonts, ANameInstalledNowhereTakesTheSystemsSubstitute) {
    QM_REQUIRE_FONT("Standard Symbols PS");
    QM_REQUIRE_FONT("Nimbus Sans Narrow");
    const std::string fallback = qmtest::FontMatch("");
    ASSERT_FALSE(fallback.empty());
    for (const char* face : {"Symbol", "Arial Narrow", "No Such Face Anywhere", "Arial"}) {
        std::string want = qmtest::FontMatch(face);
        if (want == fallback || std::string(face) == "Arial") want = "Liberation Sans";
        EXPECT_EQ(MapFontFamily(face).toStdString(), want) << face;
    }
    EXPECT_EQ(MapFontFamily("Symbol"), "Standard Symbols PS");
    TBitmap bmp(10, 10);
    TFont* font = bmp.Canvas()->Font();
    font->SetSize(10);
    font->SetName("Arial");
    const int arial = bmp.Canvas()->TextWidth(Sample);
    EXPECT_EQ(arial, FileWidth(LiberationSans, 13, Sample));
    font->SetName("Arial Narrow");
    EXPECT_LT(bmp.Canvas()->TextWidth(Sample), arial * 9 / 10);
}

// The glyph outlines of a text in a raw font, one pixel grid for all.
QImage Outlines(const QRawFont& Font, const QString& Text) {
    QPainterPath path;
    double x = 2;
    const QList<quint32> glyphs = Font.glyphIndexesForString(Text);
    const QList<QPointF> advances = Font.advancesForGlyphIndexes(glyphs);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        path.addPath(Font.pathForGlyph(glyphs[i]).translated(x, 50));
        x += advances[i].x();
    }
    QImage image(400, 70, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, Qt::black);
    return image;
}

// "abgdpW" in Symbol is Greek, as the charts made where Symbol is installed
// show it: the program draws what the substitute draws, and those are the
// outlines the substitute's Type 1 file, which names its glyphs, gives the
// Greek letters.
TEST(InstalledFonts, SymbolDrawsGreekAsItsSubstituteDoes) {
    QM_REQUIRE_FONT("Standard Symbols PS:fontformat=Type 1");
    const AnsiString text = "abgdpW";
    auto draw = [&](const char* Face) {
        TBitmap bmp(200, 50);
        bmp.Canvas()->Font()->SetName(Face);
        bmp.Canvas()->Font()->SetSize(20);
        bmp.Canvas()->TextOut(2, 2, text);
        std::vector<TColor> pixels;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 200; ++x)
                pixels.push_back(bmp.Canvas()->Pixels(x, y));
        return pixels;
    };
    const auto symbol = draw("Symbol");
    EXPECT_EQ(symbol, draw("Standard Symbols PS"));
    EXPECT_NE(symbol, draw("Arial"));

    TFont font;
    font.SetName("Symbol");
    font.SetSize(30);
    const QRawFont drawn = QRawFont::fromFont(ToQFont(font));
    const QRawFont named(
        QString::fromStdString(
            qmtest::FontList("Standard Symbols PS:fontformat=Type 1", "%{file}").front()),
        drawn.pixelSize(), QFont::PreferNoHinting);
    const QImage greek =
        Outlines(named, QString::fromUtf16(u"\u03B1\u03B2\u03B3\u03B4\u03C0\u03A9"));
    // The two files' outlines agree to a small part of a pixel, not exactly.
    const QImage shown = Outlines(drawn, AnsiToQString(text));
    int worst = 0;
    for (int y = 0; y < greek.height(); ++y)
        for (int x = 0; x < greek.width(); ++x)
            worst = std::max(worst, std::abs(qGray(shown.pixel(x, y)) - qGray(greek.pixel(x, y))));
    EXPECT_LE(worst, 48);
}

} // namespace
