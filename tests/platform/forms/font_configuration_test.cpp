// The process's own font configuration: every face still comes from the same
// bundled file, Qt's widgets keep their default font and fallback, and glyphs
// come out as with the system's configuration.
#include "forms_fixture.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/qtbridge.h"
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QTextLayout>
#include <cstring>

namespace {
// A font file is told by its header table (checksum and dates).
QString FileOf(const QRawFont& Font) {
    for (const char* dir :
         {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/dejavu/"})
        for (const QString& f : QDir(dir).entryList({"*.ttf"}))
            if (QRawFont(dir + f, 11).fontTable("head") == Font.fontTable("head")) return f;
    return "?";
}

struct TFaceFiles {
    std::vector<const char*> Faces;
    std::string Stem, Styles[4]; // regular, bold, italic, bold italic
};

class FaceFilesTest : public FormsTest, public ::testing::WithParamInterface<TFaceFiles> {};

TEST_P(FaceFilesTest, EveryStyleComesFromItsBundledFile) {
    for (const char* face : GetParam().Faces)
        for (int style = 0; style < 4; ++style) {
            LOGFONT lf{};
            std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
            lf.lfHeight = -11;
            lf.lfWeight = style & 1 ? FW_BOLD : FW_NORMAL;
            lf.lfItalic = style & 2 ? 1 : 0;
            EXPECT_EQ(FileOf(QRawFont::fromFont(LogFontToQFont(lf))).toStdString(),
                      GetParam().Stem + GetParam().Styles[style] + ".ttf")
                << "'" << face << "' style " << style;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceFilesTest,
    ::testing::Values(TFaceFiles{{"Arial", "Helvetica", "MS Sans Serif", "Microsoft Sans Serif",
                                  "System", "Liberation Sans", "Unknown face", ""},
                                 "LiberationSans-",
                                 {"Regular", "Bold", "Italic", "BoldItalic"}},
                      TFaceFiles{{"Times New Roman", "Times", "MS Serif", "Liberation Serif"},
                                 "LiberationSerif-",
                                 {"Regular", "Bold", "Italic", "BoldItalic"}},
                      TFaceFiles{{"Courier New", "Courier", "Liberation Mono"},
                                 "LiberationMono-",
                                 {"Regular", "Bold", "Italic", "BoldItalic"}},
                      TFaceFiles{{"Tahoma", "Verdana", "DejaVu Sans"},
                                 "DejaVuSans",
                                 {"", "-Bold", "-Oblique", "-BoldOblique"}},
                      TFaceFiles{{"Georgia", "DejaVu Serif"},
                                 "DejaVuSerif",
                                 {"", "-Bold", "-Italic", "-BoldItalic"}},
                      TFaceFiles{{"Lucida Console", "Consolas", "DejaVu Sans Mono"},
                                 "DejaVuSansMono",
                                 {"", "-Bold", "-Oblique", "-BoldOblique"}}));

using FontConfigurationTest = FormsTest;

// Qt's own dialogs write in the default font and fall back to DejaVu Sans;
// the program's controls never fall back. Both as with the system's fonts.
TEST_F(FontConfigurationTest, WidgetsKeepTheirDefaultFontAndFallback) {
    auto* edit = Make<TEdit>(0, 0, 50, 20);
    QPlainTextEdit memo;
    EXPECT_EQ(memo.font(), QApplication::font());
    EXPECT_EQ(QApplication::font().pointSize(), 9);
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans");
    EXPECT_EQ(QFontInfo(QApplication::font()).pixelSize(), 12);
    const QFont own = edit->Widget()->font();
    const struct {
        QFont Font;
        QString Text, File;
        int Missing;
    } cases[] = {{memo.font(), "Ab ΩЖ ∮ℝ⊕ عربي", "DejaVuSans.ttf", 0},
                 {memo.font(), "日本", "DejaVuSans.ttf", 2},
                 {own, "Ωx", "LiberationSans-Regular.ttf", 0},
                 {own, "∮ℝ⊕", "LiberationSans-Regular.ttf", 3}};
    for (const auto& c : cases) {
        QTextLayout layout(c.Text, c.Font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int missing = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            EXPECT_EQ(FileOf(run.rawFont()), c.File) << c.Text.toStdString();
            for (quint32 g : run.glyphIndexes())
                missing += g == 0;
        }
        EXPECT_EQ(missing, c.Missing) << c.Text.toStdString();
    }
}

// The rows with ink of "ag" in Qt's default font, darkness 1-9: slight
// hinting and grey antialiasing, as the system's configuration gave them.
TEST_F(FontConfigurationTest, GlyphsKeepTheirPixels) {
    QImage image(14, 14, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawText(1, 12, "ag");
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x)
            row += ".123456789"[(255 - qRed(image.pixel(x, y))) * 9 / 255];
        if (row.find_first_not_of('.') != std::string::npos) rows.push_back(row);
    }
    EXPECT_EQ(rows,
              (std::vector<std::string>{"..47872...6874", "..3..38..56.17", "......71.81..3",
                                        "..378782.9...2", ".181..72.81..3", ".18..292.56.17",
                                        "..476472..6874", ".............4", ".........11.17"}));
}
} // namespace
