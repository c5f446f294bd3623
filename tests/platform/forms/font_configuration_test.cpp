// The process's own font configuration: every face still comes from the same
// bundled file, Qt's widgets keep their default font and fallback, and glyphs
// come out as with the system's configuration.
#include "forms_fixture.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/qtbridge.h"
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
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

TEST_F(FontConfigurationTest, TheFontDialogOffersEveryBundledFamily) {
    RegisterBundledFonts();
    for (const char* f : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans",
                          "DejaVu Serif", "DejaVu Sans Mono"})
        EXPECT_TRUE(QFontDatabase::families().contains(f)) << f;
}

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

// The rows with ink of "ag", darkness 1-9: slight hinting, grey antialiasing,
// DejaVu unhinted below 7.5 pixels.
std::vector<std::string> GreyArt(const QImage& Image) {
    std::vector<std::string> rows;
    for (int y = 0; y < Image.height(); ++y) {
        std::string row;
        for (int x = 0; x < Image.width(); ++x)
            row += ".123456789"[(255 - qRed(Image.pixel(x, y))) * 9 / 255];
        if (row.find_first_not_of('.') != std::string::npos) rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> QtArt(QFont Font, int Pixels) {
    Font.setPixelSize(Pixels);
    QImage image(14, 14, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(Font);
    p.drawText(1, Pixels, "ag");
    return GreyArt(image);
}

TEST_F(FontConfigurationTest, GlyphsKeepTheirPixels) {
    TBitmap b(14, 14);
    b.Canvas()->Font()->SetName("Arial");
    b.Canvas()->TextOut(1, 0, "ag");
    EXPECT_EQ(GreyArt(*BitmapImage(&b)),
              (std::vector<std::string>{"..4664..46542.", ".15..7127.183.", "..1447244..63.",
                                        ".27217244..53.", ".44.18236..83.", ".176547.66563.",
                                        "........1..62.", "........7556..", ".........21..."}));
    EXPECT_EQ(QtArt(QApplication::font(), 12),
              (std::vector<std::string>{"..47872...6874", "..3..38..56.17", "......71.81..3",
                                        "..378782.9...2", ".181..72.81..3", ".18..292.56.17",
                                        "..476472..6874", ".............4", ".........11.17"}));
    EXPECT_EQ(QtArt(QFont("DejaVu Sans"), 6),
              (std::vector<std::string>{".135.536......", ".23524.5......", ".3351535......",
                                        ".....233......"}));
}
} // namespace
