// Printing (a PDF file read back with pdftotext, the recording printer),
// the clipboard, cursors, colours and their names, and text conversion.
#include "pixelart.h"
#include "platform/classes/filenames.h"
#include "platform/classes/stringlist.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/cursors.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/graphics/qtbridge.h"
#include "support/long_names.h"
#include "support/external_tool.h"
#include "support/recording_printer.h"
#include "support/temp_folder.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("qmgfx_" + name)).string();
}

void PrintTwoPages(TPrinter* p) {
    p->SetTitle("Statistics");
    p->BeginDoc();
    TCanvas* c = p->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(14);
    c->TextOut(300, 300, "First page 23.5 kV/m");
    c->MoveTo(300, 500);
    c->LineTo(p->PageWidth() - 300, 500);
    p->NewPage();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(14);
    c->TextOut(300, 300,
               "Second page \xB0"
               "C");
    p->EndDoc();
}

} // namespace

TEST(Printer, WithoutAPrinterTheJobIsATwoPagePdfFile) {
    QM_REQUIRE_TOOL("pdftotext");
    TPrinter printer;
    if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
        GTEST_SKIP() << "a real printer is installed";
    const std::string pdf = TempPath("print.pdf");
    printer.SetPdfOutputPath(pdf.c_str());
    EXPECT_GT(printer.PageHeight(), printer.PageWidth());
    EXPECT_EQ(printer.Canvas()->GetDeviceCaps(LOGPIXELSY), 600);
    PrintTwoPages(&printer);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
    const std::string txt = TempPath("print.txt");
    ASSERT_EQ(std::system(("pdftotext -layout " + pdf + " " + txt).c_str()), 0);
    std::ifstream f(txt);
    std::stringstream s;
    s << f.rdbuf();
    const std::string text = s.str();
    EXPECT_NE(text.find("First page 23.5 kV/m"), std::string::npos);
    const size_t second = text.find("Second page");
    EXPECT_NE(second, std::string::npos);
    EXPECT_NE(text.find('\f'), std::string::npos); // a page break between them
    EXPECT_NE(text.find("\xC2\xB0"
                        "C"),
              std::string::npos);
    std::remove(pdf.c_str());
    std::remove(txt.c_str());
}

TEST(Printer, LandscapeSwapsThePageAndAbortLeavesNoFile) {
    TPrinter printer;
    if (printer.Printers()->Strings(0) != "PDF file") GTEST_SKIP();
    const std::string pdf = TempPath("aborted.pdf");
    printer.SetPdfOutputPath(pdf.c_str());
    const int w = printer.PageWidth();
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.PageHeight(), w);
    printer.BeginDoc();
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_THROW(printer.SetOrientation(poPortrait), EPrinter);
    printer.Canvas()->TextOut(10, 10, "never");
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
    EXPECT_THROW(printer.EndDoc(), EPrinter);
    EXPECT_THROW(printer.NewPage(), EPrinter);
}

TEST(Printer, DefaultPdfPathIsNamedAfterTheTitle) {
    TPrinter printer;
    printer.SetTitle("Chart: 1/2");
    const AnsiString path = printer.PdfOutputPath();
    EXPECT_NE(path.Pos("Chart_ 1_2.pdf"), 0);
}

// The documents folder is missing, so the home folder takes the print-out.
TEST(Printer, DefaultPdfPathInAHomeFolderSoNamedOrRefusedNamingIt) {
    const std::string base = TempPath("home_" + std::to_string(::getpid()));
    const std::string umlauts = base + "/J\xC3\xBCrgen", cyrillic = base + "/\xD0\x9F\xD1\x91";
    std::filesystem::create_directories(umlauts);
    std::filesystem::create_directories(cyrillic);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string keepConfig = config ? config : "";
    setenv("XDG_CONFIG_HOME", base.c_str(), 1); // no user-dirs.dirs there
    TPrinter printer;
    printer.SetTitle("Pr\xFC"
                     "fung");
    setenv("HOME", umlauts.c_str(), 1);
    const AnsiString taken = printer.PdfOutputPath();
    setenv("HOME", cyrillic.c_str(), 1);
    AnsiString refused;
    try {
        printer.FreePdfOutputPath();
    } catch (const EInOutError& e) {
        refused = e.Message;
    }
    setenv("HOME", home.c_str(), 1);
    if (config)
        setenv("XDG_CONFIG_HOME", keepConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(base);
    EXPECT_EQ(taken, AnsiString(base + "/J\xFCrgen/Pr\xFC"
                                       "fung.pdf"));
    EXPECT_NE(refused.Pos("\"" + AnsiString(base) +
                          "/??"
                          "/Pr\xFC"
                          "fung.pdf\""),
              0)
        << refused;
}

TEST(RecordingPrinter, RecordsPagesTextsAndJobSteps) {
    TRecordingPrinter rec;
    rec.Install();
    ASSERT_EQ(Printer(), &rec);
    PrintTwoPages(Printer());
    EXPECT_EQ(rec.Log, (std::vector<std::string>{"BeginDoc Statistics", "NewPage", "EndDoc"}));
    ASSERT_EQ(rec.PageCount(), 2);
    EXPECT_EQ(rec.PageTexts(0), (std::vector<std::string>{"First page 23.5 kV/m"}));
    EXPECT_EQ(rec.AllText(), "First page 23.5 kV/m\nSecond page \xB0"
                             "C");
    EXPECT_EQ(rec.Canvas()->GetDeviceCaps(LOGPIXELSX), 300);
    TBitmap page;
    rec.RenderPage(0, page, 10);
    EXPECT_EQ(page.Width(), 248);
    EXPECT_EQ(page.Canvas()->Pixels(100, 50), clBlack); // the line at y 500
}

TEST(RecordingPrinter, UninstallsItself) {
    TPrinter* before = Printer();
    {
        TRecordingPrinter rec;
        rec.Install();
    }
    EXPECT_EQ(Printer(), before);
}

TEST(Clipboard, TextRoundTripsThroughWindows1252) {
    Clipboard()->SetAsText("23,5 \xB0"
                           "C \x80");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "23,5 \xB0"
                                     "C \x80");
}

TEST(Clipboard, BitmapsAndMetafilesRoundTrip) {
    TBitmap b(5, 4);
    b.Canvas()->SetPixel(2, 1, clRed);
    Clipboard()->Assign(&b);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap c;
    c.Assign(Clipboard());
    EXPECT_EQ(Art(c), Art(b));

    TMetafile m;
    m.SetWidth(20);
    m.SetHeight(10);
    {
        TMetafileCanvas mc(&m, nullptr);
        mc.Rectangle(1, 1, 10, 8);
    }
    Clipboard()->Assign(&m);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TPicture p;
    p.Assign(Clipboard());
    EXPECT_STREQ(p.Graphic()->ClassName().c_str(), "TMetafile");
    EXPECT_EQ(p.Width(), 20);
}

TEST(Cursors, NamesAndIds) {
    EXPECT_EQ(CursorToString(crHourGlass), "crHourGlass");
    EXPECT_EQ(StringToCursor("crHandPoint"), crHandPoint);
    EXPECT_EQ(StringToCursor("5"), 5);
    EXPECT_EQ(CursorToString(7), "7");
    EXPECT_THROW(StringToCursor("crBogus"), EConvertError);
}

TEST(Colours, SystemColoursAndNames) {
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clBtnText), 0u);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(StringToColor("clBlue"), clBlue);
    EXPECT_EQ(StringToColor("$00FF00"), clLime);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("green-ish"), EConvertError);
}

TEST(Bridge, Windows1252MapsEveryByteBothWays) {
    std::string all;
    for (int i = 1; i < 256; ++i)
        all.push_back(char(i));
    const QString u = AnsiToQString(AnsiString(all));
    EXPECT_EQ(u[0x80 - 1], QChar(0x20AC)); // euro sign
    EXPECT_EQ(u[0x99 - 1], QChar(0x2122)); // trade mark
    EXPECT_EQ(u[0xB0 - 1], QChar(0x00B0)); // degree
    EXPECT_EQ(QStringToAnsi(u).str(), all);
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("\xE2\x82\xAC \xE2\x98\x83")).str(), "\x80 ?");
}

TEST(Bridge, FaceNamesMapToInstalledTwins) {
    EXPECT_EQ(MapFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontFamily("Verdana"), "DejaVu Sans");
    EXPECT_EQ(MapFontFamily("Unknown Face"), "Liberation Sans");
    TFont f;
    f.SetName("Arial");
    f.SetSize(10);
    const QFont q = ToQFont(f);
    EXPECT_EQ(q.family(), "Liberation Sans");
    EXPECT_EQ(q.pixelSize(), 13);
}

// Each family's bundled files are registered before the family is first used
// (or held by the process's own font configuration, which lists nothing else),
// so the face found is the bundled one whatever else is installed.
TEST(Bridge, FacesFindTheirBundledFamilyWhenFirstAsked) {
    const struct {
        const char* Face;
        const char* Family;
    } rows[] = {{"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"},
                {"Tahoma", "DejaVu Sans"},          {"Georgia", "DejaVu Serif"},
                {"Consolas", "DejaVu Sans Mono"},   {"MS Sans Serif", "Liberation Sans"}};
    auto registered = [](const QString& family) {
        for (int id = 0; id < 64; ++id)
            if (QFontDatabase::applicationFontFamilies(id).contains(family)) return true;
        return PrepareFontConfiguration() && QFontDatabase::families().contains(family);
    };
    for (const auto& row : rows) {
        TFont f;
        f.SetName(row.Face);
        f.SetStyle(TFontStyles{fsBold});
        const QFont q = ToQFont(f);
        EXPECT_TRUE(registered(row.Family)) << row.Face;
        EXPECT_EQ(QFontInfo(q).family(), row.Family) << row.Face;
        EXPECT_TRUE(QFontInfo(q).bold()) << row.Face;
    }
}

TEST(GdiCalls, FreeFunctionsReachTheCanvas) {
    TBitmap b(6, 3);
    HDC dc = b.Canvas()->Handle();
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    HBRUSH red = CreateSolidBrush(ColorToRGB(clRed));
    TRect r(1, 0, 3, 3);
    FillRect(dc, &r, red);
    MoveToEx(dc, 3, 1, nullptr);
    LineTo(dc, 6, 1);
    EXPECT_EQ(Art(b)[1], ".rr###");
    DeleteObject(red);
    EXPECT_FALSE(DeleteObject(red));
}

TEST(RecordingPrinter, ChartStylePartialPrintMapsThePanelOntoThePage) {
    // The panel's print: anisotropic mapping from panel pixels to a page rectangle.
    TRecordingPrinter rec(TSize(1000, 1400), 120);
    rec.BeginDoc();
    TCanvas* c = rec.Canvas();
    c->SetMapMode(MM_ANISOTROPIC);
    c->SetWindowOrgEx(0, 0);
    c->SetWindowExtEx(400, 250);
    c->SetViewportExtEx(800, 500);
    c->SetViewportOrgEx(100, 100);
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clRed);
    c->Rectangle(0, 0, 400, 250);
    c->SetMapMode(MM_TEXT);
    rec.EndDoc();
    TBitmap page;
    rec.RenderPage(0, page, 10);
    EXPECT_EQ(InkBox(page), TRect(10, 10, 89, 59)); // no pen: one pixel less at any scale
}

TEST(RecordingPrinter, EachPageStartsWithAFreshCanvasState) {
    TRecordingPrinter rec;
    rec.BeginDoc();
    rec.Canvas()->SetTextAlign(TA_RIGHT);
    rec.Canvas()->IntersectClipRect(0, 0, 10, 10);
    rec.NewPage();
    EXPECT_EQ(rec.Canvas()->GetTextAlign(), UINT(TA_LEFT | TA_TOP));
    EXPECT_EQ(rec.Canvas()->ClipRect(), TRect(0, 0, 2480, 3508));
    EXPECT_EQ(rec.PageNumber(), 2);
    rec.EndDoc();
}

TEST(RecordingPrinter, AbortKeepsWhatWasDrawnForInspection) {
    TRecordingPrinter rec;
    rec.BeginDoc();
    rec.Canvas()->TextOut(0, 0, "partial");
    rec.Abort();
    EXPECT_EQ(rec.Log.back(), "Abort");
    EXPECT_EQ(rec.AllText(), "partial");
    EXPECT_FALSE(rec.Printing());
}

TEST(Printer, FontsOnThePrinterKeepTheirPointSize) {
    TRecordingPrinter rec;
    rec.BeginDoc();
    TFont screen;
    screen.SetName("Arial");
    screen.SetSize(14);
    rec.Canvas()->Font()->Assign(&screen);
    EXPECT_EQ(rec.Canvas()->Font()->Size(), 14);
    EXPECT_EQ(rec.Canvas()->Font()->Height(), -58); // 14 points at 300 per inch
    EXPECT_NEAR(rec.Canvas()->TextHeight("W"), 58 * 1.15, 6);
    rec.EndDoc();
}

// The screen shows a tab as a narrow blank; the PDF must hold the same words
// in the same order, not letters spread by a tab stop's advance.
TEST(Printer, LinesHoldingTabsPrintLegibly) {
    QM_REQUIRE_TOOL("pdftotext");
    TPrinter printer;
    if (printer.Printers()->Strings(0) != "PDF file") GTEST_SKIP() << "a real printer is installed";
    const std::string pdf = TempPath("tabs.pdf");
    std::remove(pdf.c_str());
    printer.SetPdfOutputPath(pdf.c_str());
    const struct {
        const char* Line;
        const char* Printed;
    } lines[] = {{"Range\t\t: 3", "Range +: 3\n"},
                 {"Exponent\t\t: 12", "Exponent +: 12\n"},
                 {"Serial number\t: 123411.25", "Serial number +: 123411.25\n"},
                 {"\tSW version : 1.07", "SW version : 1.07\n"},
                 {"Temperature\t: 23 \xB0"
                  "C\t",
                  "Temperature +: 23 \xC2\xB0"
                  "C\n"}};
    printer.BeginDoc();
    TCanvas* c = printer.Canvas();
    c->Font()->SetName("Arial");
    for (int size : {10, 14}) {
        c->Font()->SetSize(size);
        int y = size * 60;
        for (const auto& l : lines)
            c->TextOut(200, y += size * 14, l.Line);
        printer.NewPage();
    }
    printer.EndDoc();
    const std::string txt = TempPath("tabs.txt");
    ASSERT_EQ(std::system(("pdftotext -layout " + pdf + " " + txt).c_str()), 0);
    std::ifstream f(txt);
    const std::string text(std::istreambuf_iterator<char>(f), {});
    for (const auto& l : lines) {
        const std::regex printed(l.Printed);
        EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), printed),
                                std::sregex_iterator()),
                  2)
            << l.Printed << " in\n"
            << text;
    }
    std::remove(pdf.c_str());
    std::remove(txt.c_str());
}

// A print file and a picture saved over files whose names take the 255 bytes
// a folder allows, Windows-1252 letters of two and three bytes included.
// A print file that may replace nothing takes the next free name; with a name
// as long as the folder allows, that name is cut to fit, by whole characters.
TEST(Printer, AFreeNameBesideTheLongestNameFitsTheFolder) {
    TPrinter printer;
    if (printer.Printers()->Strings(0) != "PDF file") GTEST_SKIP() << "a real printer is installed";
    const std::string dir = MakeTempFolder("qmgfx_free_");
    const AnsiString name("x" + std::string(125, '\xE4') + ".pdf"); // 255 bytes on the system
    const std::string taken = dir + "/" + SystemFileName(name);
    std::ofstream(taken) << "old";
    printer.SetPdfOutputPath(AnsiString(dir + "/") + name);
    PrintTwoPages(&printer);
    const std::string written = printer.LastOutputFile().str();
    const std::string base = written.substr(written.rfind('/') + 1);
    EXPECT_EQ(base, "x" + std::string(123, '\xE4') + " (2).pdf");
    EXPECT_LE(SystemFileName(AnsiString(base)).size(), 255u);
    std::ifstream old(taken);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old");
    std::ifstream in(dir + "/" + SystemFileName(AnsiString(base)), std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    std::filesystem::remove_all(dir);
}

TEST(Printer, PrintFilesAndPicturesReplaceFilesWithTheLongestNames) {
    TPrinter printer;
    if (printer.Printers()->Strings(0) != "PDF file") GTEST_SKIP() << "a real printer is installed";
    ExpectSavesOverLongNames(
        {
            AnsiString("x" + std::string(125, '\xE4') + ".pdf"), // 2 bytes each
            AnsiString("a" + std::string(83, '\x80') + "b.bmp"), // 3 bytes each
            AnsiString(std::string(251, 'a') + ".pdf"),
        },
        {
            {"print file",
             [&printer](const AnsiString& f) {
                 printer.SetOutputFile(f);
                 PrintTwoPages(&printer);
             },
             "%PDF"},
            {"bitmap",
             [](const AnsiString& f) {
                 TBitmap b;
                 b.SetWidth(4);
                 b.SetHeight(3);
                 b.SaveToFile(f);
             },
             "BM"},
        });
}
