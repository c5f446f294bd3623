// The process's own font configuration: every face still comes from the same
// bundled file, Qt's widgets keep their default font and fallback, and glyphs
// come out as with the system's configuration. The system's other fonts are
// read only when first needed, and then offered and drawn.
#include "forms_fixture.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/qtbridge.h"
#include "support/installed_fonts.h"
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>
#include <cstring>
#include <set>

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

// The rows with ink of "ag" in Qt's default font, darkness 1-9.
std::vector<std::string> InkOfAg() {
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
    return rows;
}

// Slight hinting and grey antialiasing, as the system's configuration gave them.
const std::vector<std::string> AgRows{"..47872...6874", "..3..38..56.17", "......71.81..3",
                                      "..378782.9...2", ".181..72.81..3", ".18..292.56.17",
                                      "..476472..6874", ".............4", ".........11.17"};

TEST_F(FontConfigurationTest, GlyphsKeepTheirPixels) {
    EXPECT_EQ(InkOfAg(), AgRows);
}

// --- the system's other fonts, read when first needed -----------------------

// Glyphs of Text that no font of the fallback had (boxes), and the families
// that drew the others.
struct TLaidOut {
    int Missing = 0;
    std::set<QString> Families;
};

TLaidOut LayOut(const QFont& Font, const QString& Text) {
    QTextLayout layout(Text, Font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    TLaidOut out;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 g : run.glyphIndexes())
            if (g == 0)
                ++out.Missing;
            else
                out.Families.insert(run.rawFont().familyName());
    return out;
}

// Mathematical Fraktur A and B: of the fonts tests rely on, only DejaVu Math
// TeX Gyre (fonts-dejavu-extra) has them.
const QString Fraktur = QString::fromUcs4(U"\U0001D504\U0001D505");

// What a start draws: controls and canvas text in every face the program and
// stored charts name, Qt's own widgets in their default font with Greek and
// Cyrillic (which the bundled families have). False when that read the
// system's fonts.
bool StartReadsNothing(TForm* Form) {
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption("Ohm \xB5"
                      "A \xB0"
                      "C");
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetText("1,5 \x80");
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption("&Start");
    Form->Show();
    for (int i = 0; i < 5; ++i)
        Application->ProcessMessages();
    TBitmap bitmap(200, 40);
    for (const char* face :
         {"", "Arial", "MS Sans Serif", "Tahoma", "Verdana", "Times New Roman", "Georgia",
          "Courier New", "Consolas", "Sans Serif", "Serif", "Monospace"}) {
        bitmap.Canvas()->Font()->SetName(face);
        for (TFontStyles style : {TFontStyles{}, TFontStyles{fsBold, fsItalic}}) {
            bitmap.Canvas()->Font()->SetStyle(style);
            bitmap.Canvas()->TextOut(0, 0,
                                     "Ohm 1,234 \xB5"
                                     "A \xB0"
                                     "C \x80");
        }
    }
    QListWidget list;
    list.addItem("\u03A9\u03BC\u03AD\u03B3\u03B1 "
                 "\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430.csv");
    QPushButton push("\u0416 \u2202");
    list.grab();
    push.grab();
    return !SystemFontsRead() && LayOut(list.font(), Fraktur).Missing == 2;
}

// One need, in a process that starts as the program does: it reads the
// system's fonts, and then what needed them is drawn.
struct TNeed {
    const char* Name;
    bool (*Step)();
};

int StartThenMeet(TForm* Form, const TNeed& Need) {
    if (!StartReadsNothing(Form)) return 1;
    if (!Need.Step()) return 2;
    return SystemFontsRead() ? 0 : 3;
}

bool FrakturDrawn(const QFont& Font) {
    const TLaidOut drawn = LayOut(Font, Fraktur);
    return drawn.Missing == 0 && drawn.Families == std::set<QString>{"DejaVu Math TeX Gyre"};
}

using SystemFontsDeathTest = FormsTest;

TEST_F(SystemFontsDeathTest, ReadOnlyWhenFirstNeeded) {
    QM_REQUIRE_FONT("URW Gothic");
    QM_REQUIRE_FONT("DejaVu Math TeX Gyre");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const TNeed needs[] = {
        {"a face that is not bundled",
         [] {
             TFont font;
             font.SetName("URW Gothic");
             return QFontInfo(ToQFont(font)).family() == "URW Gothic";
         }},
        {"the font dialog",
         [] {
             QFontDialog dialog;
             TFont font;
             SetUpFontDialog(dialog, font);
             return QFontDatabase::hasFamily("URW Gothic");
         }},
        {"a name in a list of Qt's own (a file dialog's)",
         [] {
             QListWidget list;
             list.addItem(Fraktur + ".csv");
             list.grab();
             return FrakturDrawn(list.font());
         }},
        {"a caption of Qt's own",
         [] {
             QPushButton button(Fraktur);
             button.grab();
             return FrakturDrawn(button.font());
         }},
    };
    for (const TNeed& need : needs)
        EXPECT_EXIT(std::exit(StartThenMeet(Form.get(), need)), ::testing::ExitedWithCode(0), "")
            << need.Name << " (1: read at the start, 2: not drawn, 3: not read)";
}

// Once read, the bundled names still mean the bundled files (though an extra
// style of DejaVu Sans is installed here), drawn as before.
TEST_F(FontConfigurationTest, BundledFacesKeepTheirFilesAndPixelsOnceTheSystemsAreRead) {
    ReadSystemFonts();
    ASSERT_TRUE(SystemFontsRead());
    EXPECT_EQ(InkOfAg(), AgRows);
    const struct {
        const char* Face;
        bool Bold, Italic;
        const char* File;
    } rows[] = {{"Tahoma", false, false, "DejaVuSans.ttf"},
                {"DejaVu Sans", true, false, "DejaVuSans-Bold.ttf"},
                {"Verdana", false, true, "DejaVuSans-Oblique.ttf"},
                {"Georgia", false, false, "DejaVuSerif.ttf"},
                {"Arial", false, false, "LiberationSans-Regular.ttf"},
                {"Times New Roman", true, true, "LiberationSerif-BoldItalic.ttf"}};
    for (const auto& row : rows) {
        TFont font;
        font.SetName(row.Face);
        TFontStyles style;
        if (row.Bold) style << fsBold;
        if (row.Italic) style << fsItalic;
        font.SetStyle(style);
        EXPECT_EQ(FileOf(QRawFont::fromFont(ToQFont(font))).toStdString(), row.File) << row.Face;
    }
}

// The font dialog's family list: the bundled families, every family the
// system has, each once, by its name alone; the font's own family selected.
TEST_F(FontConfigurationTest, TheFontDialogOffersEveryInstalledFamilyOnce) {
    QM_REQUIRE_FONT("URW Gothic");
    QFontDialog dialog;
    TFont font;
    font.SetName("Arial");
    font.SetSize(10);
    SetUpFontDialog(dialog, font);
    QStringList offered;
    for (QListView* view : dialog.findChildren<QListView*>()) {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            names << view->model()->index(row, 0).data().toString();
        if (names.contains("Liberation Sans")) offered = names;
    }
    // A font is offered by its first name (others may be translations),
    // save that a bundled family's name stays with the bundled files: an
    // extra style of it is offered by its next name ("DejaVu Sans Condensed").
    const QStringList bundled{"Liberation Sans", "Liberation Serif", "Liberation Mono",
                              "DejaVu Sans",     "DejaVu Serif",     "DejaVu Sans Mono"};
    std::set<QString> installed;
    for (const std::string& names : qmtest::FontList(":", "%{family}")) {
        const QStringList families = QString::fromStdString(names).split(',');
        QString offeredAs = families.front();
        for (const QString& family : families)
            if (!bundled.contains(family)) {
                offeredAs = family;
                break;
            }
        if (!offeredAs.startsWith('.')) installed.insert(offeredAs);
    }
    ASSERT_TRUE(installed.count("URW Gothic") && installed.count("DejaVu Sans"));
    for (const QString& family : bundled)
        EXPECT_EQ(offered.count(family), 1) << family.toStdString();
    for (const QString& family : installed)
        EXPECT_EQ(offered.count(family), 1) << family.toStdString();
    for (const QString& name : offered)
        EXPECT_FALSE(name.contains('[')) << name.toStdString();
    EXPECT_EQ(dialog.currentFont().family().toStdString(), "Liberation Sans");
    EXPECT_EQ(dialog.currentFont().styleName().toStdString(), "Regular");

    dialog.setCurrentFont(QFontDatabase::font("URW Gothic", "Demi", 14));
    dialog.accept();
    TakeFontDialogChoice(dialog, font);
    EXPECT_EQ(font.Name(), "URW Gothic");
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.Style(), TFontStyles{fsBold});
}

// The dialog opens on the style the font draws with, whatever the family
// calls its styles.
TEST_F(FontConfigurationTest, TheFontDialogOpensOnTheFontsOwnStyle) {
    QM_REQUIRE_FONT("URW Gothic");
    const struct {
        const char* Face;
        TFontStyles Style;
        const char* Family;
        const char* Shown;
    } rows[] = {{"Arial", {}, "Liberation Sans", "Regular"},
                {"Arial", {fsBold, fsItalic}, "Liberation Sans", "Bold Italic"},
                {"Tahoma", {}, "DejaVu Sans", "Book"},
                {"Tahoma", {fsItalic}, "DejaVu Sans", "Oblique"},
                {"URW Gothic", {}, "URW Gothic", "Book"},
                {"URW Gothic", {fsBold}, "URW Gothic", "Demi"},
                {"URW Gothic", {fsItalic, fsUnderline}, "URW Gothic", "Book Oblique"}};
    for (const auto& row : rows) {
        QFontDialog dialog;
        TFont font;
        font.SetName(row.Face);
        font.SetStyle(row.Style);
        font.SetSize(11);
        SetUpFontDialog(dialog, font);
        dialog.accept();
        EXPECT_EQ(dialog.selectedFont().family().toStdString(), row.Family) << row.Face;
        EXPECT_EQ(dialog.selectedFont().styleName().toStdString(), row.Shown) << row.Face;
        EXPECT_EQ(dialog.selectedFont().pointSize(), 11) << row.Face;
        TFont back;
        TakeFontDialogChoice(dialog, back);
        EXPECT_EQ(back.Style(), row.Style) << row.Face;
    }
}
} // namespace
