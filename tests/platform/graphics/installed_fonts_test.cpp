// A face that is not bundled draws in the installed family of its name; a
// name installed nowhere takes the default face's twin.
#include "platform/graphics/qtbridge.h"
#include "platform/rtl/rtlmath.h"
#include "support/installed_fonts.h"
#include <QRawFont>
#include <cmath>
#include <gtest/gtest.h>

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

} // namespace
