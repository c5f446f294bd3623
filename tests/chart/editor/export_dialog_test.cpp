// The export dialog and its formats: pictures written to files and read back
// by independent readers, data files equal to the chart control's exports,
// the clipboard, the chart save dialog's formats, and the mail hand-off.
#include "chart/control/teedata.h"
#include "chart/control/teeedit.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teeexportformats.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teeconst.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"
#include "platform/win32/mailto.h"
#include "support/clipboard_bytes.h"
#include "support/external_tool.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <filesystem>
#include <map>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// QM_SHOTS=<folder> saves the dialog as a picture to look at.
void Shot(TControl* C, const char* Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    TPngImage png;
    GrabControl(C, png.Bitmap());
    png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
}

std::string ReadFile(const std::string& Path) {
    std::ifstream f(Path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The text of all <text> elements (readers may split a string per character).
std::string SvgText(const std::string& Svg) {
    std::string out;
    size_t at = 0;
    while ((at = Svg.find("<text", at)) != std::string::npos) {
        const size_t open = Svg.find('>', at);
        const size_t close = Svg.find("</text>", open);
        if (open == std::string::npos || close == std::string::npos) break;
        out += Svg.substr(open + 1, close - open - 1);
        at = close;
    }
    return out;
}

std::string RunCommand(const std::string& Command) {
    std::string out;
    if (FILE* p = ::popen(Command.c_str(), "r")) {
        char buf[256];
        while (size_t n = std::fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// Width, height and the number of pixels of one colour, read with python's
// standard library only (uncompressed 24 and 32 bit files, either row order).
const char* const BmpReader = R"(
import struct, sys
d = open(sys.argv[1], 'rb').read()
assert d[:2] == b'BM'
off = struct.unpack_from('<I', d, 10)[0]
w, h, planes, bpp, comp = struct.unpack_from('<iiHHI', d, 18)
assert comp in (0, 3) and bpp in (24, 32)
rows, step = abs(h), bpp // 8
stride = (w * step + 3) // 4 * 4
want = (int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]))
n = 0
for y in range(rows):
    row = off + y * stride
    for x in range(w):
        b, g, r = d[row + x * step: row + x * step + 3]
        n += (r, g, b) == want
print(w, rows, n)
)";

class ExportTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        TeeRegisterPrintAndExport();
        Chart->Title()->Text()->SetText("Field strength run");
        Line->SetSeriesColor(clRed);
        Line->AddXY(11, 50, "peak");
        Dir = fs::temp_directory_path() / ("qm_export_" + std::to_string(::getpid()));
        fs::create_directories(Dir);
    }
    void TearDown() override {
        SetMailProgramOverride("");
        if (!HasFailure()) fs::remove_all(Dir);
    }
    std::string Path(const std::string& Name) const { return (Dir / Name).string(); }
    std::unique_ptr<TTeeExportForm> Show(TCustomTeePanel* Panel = nullptr) {
        auto f = std::make_unique<TTeeExportForm>(nullptr);
        f->SetSubject(Panel ? Panel : Chart.get());
        f->Show();
        return f;
    }
    static void Pick(TTeeExportForm* F, const char* Format) {
        const int i = F->LBFormat->Items()->IndexOf(Format);
        ASSERT_GE(i, 0) << Format;
        F->LBFormat->SetItemIndex(i);
        F->RGFormatClick(F->LBFormat);
    }
    fs::path Dir;
};

TEST_F(ExportTest, PictureFilesAreReadByIndependentReaders) {
    auto f = Show();
    ASSERT_EQ(f->LBFormat->Items()->Count(), 2);
    EXPECT_EQ(f->LBFormat->Items()->Strings(0), "as Bitmap");
    EXPECT_EQ(f->EWidth->Text(), "300");

    // Bitmap, at half size with the aspect kept.
    QM_REQUIRE_TOOL("python3");
    Pick(f.get(), "as Bitmap");
    SimulateType(f->EWidth, "");
    f->EWidth->SetText("150");
    EXPECT_EQ(f->EHeight->Text(), "100");
    Responder.ExpectSave(Path("chart.bmp").c_str());
    SimulateClick(f->BSave);
    EXPECT_EQ(Responder.Shown().back().DefaultExt, "bmp");
    const std::string script = Path("bmp.py");
    std::ofstream(script) << BmpReader;
    std::istringstream bmp(RunCommand("python3 " + script + " " + Path("chart.bmp") + " 255 0 0"));
    int w = 0, h = 0, red = 0;
    bmp >> w >> h >> red;
    EXPECT_EQ(w, 150);
    EXPECT_EQ(h, 100);
    EXPECT_GT(red, 40); // the line series

    // Enhanced metafile: the first of the format's two filters.
    QM_REQUIRE_TOOL("emf2svg-conv");
    Pick(f.get(), "as Metafile");
    Responder.ExpectSave(Path("chart.emf").c_str());
    SimulateClick(f->BSave);
    EXPECT_EQ(Responder.Shown().back().DefaultExt, "emf");
    EXPECT_EQ(Responder.Shown().back().FilterIndex, 2);
    ASSERT_EQ(std::system(("emf2svg-conv -i " + Path("chart.emf") + " -o " + Path("emf.svg") +
                           " >/dev/null 2>&1")
                              .c_str()),
              0);
    EXPECT_NE(SvgText(ReadFile(Path("emf.svg"))).find("Field strength run"), std::string::npos);

    // Old-style metafile once "Enhanced" is unchecked on the options page.
    QM_REQUIRE_TOOL("wmf2svg");
    auto* emf = dynamic_cast<TEMFExportFormat*>(f->PictureFormat());
    ASSERT_NE(emf, nullptr);
    EXPECT_EQ(emf->Options(false)->Parent(), f->TabOptions);
    emf->EMFOptions()->CBEnhanced->SetChecked(false);
    Responder.ExpectSave(Path("chart.wmf").c_str());
    SimulateClick(f->BSave);
    EXPECT_EQ(Responder.Shown().back().DefaultExt, "wmf");
    EXPECT_EQ(Responder.Shown().back().FilterIndex, 3);
    ASSERT_EQ(
        std::system(("wmf2svg -o " + Path("wmf.svg") + " " + Path("chart.wmf") + " >/dev/null 2>&1")
                        .c_str()),
        0);
    EXPECT_NE(SvgText(ReadFile(Path("wmf.svg"))).find("Field strength run"), std::string::npos);
}

TEST_F(ExportTest, ChartSaveDialogOffersThePictureFormatsByFilter) {
    const struct {
        int Filter;
        const char* Typed;
        const char* Name;
        std::string Magic;
    } cases[] = {{2, "a.bmp", "a.bmp", "BM"},
                 {3, "a.emf", "a.emf", std::string("\x01\x00\x00\x00", 4)},
                 {4, "a.wmf", "a.wmf", "\xD7\xCD\xC6\x9A"},
                 {4, "b", "b.wmf", "\xD7\xCD\xC6\x9A"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Responder.ExpectSave(Path(c.Typed).c_str(), c.Filter);
        EXPECT_EQ(SaveChartDialog(Chart.get()), AnsiString(Path(c.Name).c_str()));
        EXPECT_EQ(ReadFile(Path(c.Name)).substr(0, c.Magic.size()), c.Magic);
    }
    Responder.ExpectSave(Path("a.tee").c_str(), 1);
    SaveChartDialog(Chart.get());
    TChart back;
    TCustomChart* target = &back;
    LoadChartFromFile(target, Path("a.tee").c_str());
    EXPECT_EQ(back.Title()->Text()->Text(), "Field strength run\r\n");
    const AnsiString filter = Responder.Shown().back().Filter;
    EXPECT_NE(filter.Pos("|*.bmp|"), 0);
    EXPECT_NE(filter.Pos("|*.emf|"), 0);
    EXPECT_NE(filter.Pos("|*.wmf"), 0);
}

// A chart whose drawing fails half-way.
class TFailingChart : public TChart {
public:
    void InternalDraw(const TRect&) override { throw Exception("drawing failed"); }
};

TEST_F(ExportTest, FailedPictureLeavesTheExistingFileAndAPanelIsRequired) {
    TFailingChart failing;
    failing.SetBounds(0, 0, 100, 80);
    for (TClass c : TeeExportFormats()) {
        SCOPED_TRACE(c->Name);
        std::unique_ptr<TTeeExportFormat> f(dynamic_cast<TTeeExportFormat*>(c->Factory(nullptr)));
        ASSERT_NE(f, nullptr);
        EXPECT_THROW(f->SaveToFile(Path("none").c_str()), Exception); // no panel
        EXPECT_FALSE(fs::exists(Path("none")));
        std::ofstream(Path("old.pic")) << "previous picture";
        f->Panel = &failing;
        EXPECT_THROW(f->SaveToFile(Path("old.pic").c_str()), Exception);
        EXPECT_EQ(ReadFile(Path("old.pic")), "previous picture");
        // A zero size takes the panel's own.
        f->Panel = Chart.get();
        f->Width = f->Height = 0;
        f->SaveToFile(Path("sized.pic").c_str());
        EXPECT_EQ(f->Width, 300);
        EXPECT_EQ(f->Height, 200);
    }
}

TEST_F(ExportTest, BitmapOptionsChooseTheFilesColourDepth) {
    const struct {
        int Colors;
        bool Mono;
        int Bits; // as written in the file's header
    } cases[] = {{6, false, 24}, {3, false, 8}, {6, true, 1}, {1, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Colors << (c.Mono ? " mono" : ""));
        TBMPExportFormat f;
        f.Panel = Chart.get();
        auto* o = dynamic_cast<TBMPOptions*>(f.Options(true));
        ASSERT_NE(o, nullptr);
        o->CBColors->SetItemIndex(c.Colors);
        o->CBMono->SetChecked(c.Mono);
        EXPECT_EQ(o->CBColors->Enabled(), !c.Mono);
        f.SaveToFile(Path("depth.bmp").c_str());
        const std::string bytes = ReadFile(Path("depth.bmp"));
        ASSERT_GT(bytes.size(), 30u);
        EXPECT_EQ(static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8, c.Bits);
    }
}

// Each picture format's options sit at the options tab's top left, whole.
TEST_F(ExportTest, PictureOptionsAreDockedAtTheTopLeftOfTheirTab) {
    auto f = Show();
    for (int i = 0; i < f->LBFormat->Items()->Count(); ++i) {
        f->LBFormat->SetItemIndex(i);
        f->RGFormatClick(f->LBFormat);
        TCustomForm* options = f->PictureFormat()->Options(false);
        SCOPED_TRACE(f->LBFormat->Items()->Strings(i).c_str());
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(options->Parent(), f->TabOptions);
        EXPECT_EQ(options->Left(), 4);
        EXPECT_EQ(options->Top(), 4);
        EXPECT_LE(options->Top() + options->Height(), f->TabOptions->ClientHeight());
    }
}

struct DataCase {
    const char* Name;
    int Format, Delimiter;
    const char* Custom;
    bool OneSeries, Index, Labels, Header, Colors;
    int PickedFilter; // the save dialog's filter chosen by the user (0 keeps it)
    int Expected;     // the format written
    char Separator;
};

const DataCase DataCases[] = {
    {"tab text", 0, 1, "", false, false, true, true, false, 0, 0, '\t'},
    {"comma text, index and colours", 0, 2, "", true, true, true, false, true, 0, 0, ','},
    {"colon gives a semicolon", 0, 3, "", false, false, false, true, false, 0, 0, ';'},
    {"empty custom gives a space", 0, 4, "", false, false, true, true, false, 0, 0, ' '},
    {"custom character", 0, 4, "#", false, false, true, true, false, 0, 0, '#'},
    {"xml", 1, 1, "", false, true, true, true, true, 0, 1, 0},
    {"html", 2, 1, "", true, false, true, true, false, 0, 2, 0},
    {"excel", 3, 1, "", false, true, true, true, false, 0, 3, 0},
    {"xml filter chosen in the dialog", 0, 1, "", false, false, true, true, false, 5, 1, 0},
};

TEST_F(ExportTest, DataFilesEqualTheChartControlsExports) {
    auto* bar = new TBarSeries(Chart.get());
    bar->SetName("Series2");
    bar->SetParentChart(Chart.get());
    bar->AddY(3.5, "a & b");
    bar->AddY(-1);
    auto f = Show();
    f->PageControl1->SelectPageByUser(f->TabData);
    for (const DataCase& c : DataCases) {
        SCOPED_TRACE(c.Name);
        f->RGText->SetItemIndex(c.Format);
        if (f->CBDelim->Enabled()) Choose(static_cast<TComboBox*>(f->CBDelim), c.Delimiter);
        f->ECustom->SetText(c.Custom);
        f->CBSeries->SetItemIndex(c.OneSeries ? f->CBSeries->Items()->IndexOf("Series2") : 0);
        f->CBIndex->SetChecked(c.Index);
        f->CBLabels->SetChecked(c.Labels);
        f->CBHeader->SetChecked(c.Header);
        f->CBColors->SetChecked(c.Colors);
        const std::string file = Path("data.out");
        Responder.ExpectSave(file.c_str(), c.PickedFilter);
        SimulateClick(f->BSave);
        EXPECT_EQ(f->RGText->ItemIndex(), c.Expected);

        TChartSeries* one = c.OneSeries ? bar : nullptr;
        std::unique_ptr<TSeriesData> d;
        switch (c.Expected) {
        case 0: {
            auto t = std::make_unique<TSeriesDataText>(Chart.get(), one);
            t->TextDelimiter = c.Separator;
            d = std::move(t);
            break;
        }
        case 1:
            d = std::make_unique<TSeriesDataXML>(Chart.get(), one);
            break;
        case 2:
            d = std::make_unique<TSeriesDataHTML>(Chart.get(), one);
            break;
        default:
            d = std::make_unique<TSeriesDataXLS>(Chart.get(), one);
            break;
        }
        d->IncludeIndex = c.Index;
        d->IncludeLabels = c.Labels;
        d->IncludeHeader = c.Header;
        d->IncludeColors = c.Colors;
        d->SaveToFile(Path("expected.out").c_str());
        EXPECT_EQ(ReadFile(file), ReadFile(Path("expected.out")));
    }
}

// A series freed while the dialog shows leaves its series choice: the row
// chosen is always what the data holds, never every other series.
TEST_F(ExportTest, ASeriesFreedWhileTheDialogShowsLeavesItsChoice) {
    auto* bar = new TBarSeries(Chart.get());
    bar->SetName("Series2");
    bar->SetParentChart(Chart.get());
    bar->AddY(3.5);
    auto* third = new TBarSeries(Chart.get());
    third->SetName("Series3");
    third->SetParentChart(Chart.get());
    third->AddY(7.25);
    auto f = Show();
    f->PageControl1->SelectPageByUser(f->TabData);
    f->RGText->SetItemIndex(0);
    TStrings* rows = f->CBSeries->Items();
    f->CBSeries->SetItemIndex(rows->IndexOf("Series3"));
    delete bar;
    EXPECT_EQ(rows->IndexOf("Series2"), -1);
    ASSERT_EQ(f->CBSeries->Text(), "Series3");
    const AnsiString one = f->CreateData()->AsString();
    EXPECT_NE(one.Pos("7.25"), 0) << one.c_str();
    EXPECT_EQ(one.Pos("50"), 0) << one.c_str();
    // The chosen series goes: the choice passes to all that is left, and shows so.
    delete third;
    EXPECT_EQ(f->CBSeries->ItemIndex(), 0);
    EXPECT_EQ(rows->Count(), 2);
    const AnsiString all = f->CreateData()->AsString();
    EXPECT_NE(all.Pos("50"), 0) << all.c_str();
    EXPECT_EQ(all.Pos("7.25"), 0) << all.c_str();
}

// A name typed without an extension, with another file type picked in the save
// dialog than the one the export dialog shows: the type picked is written.
TEST_F(ExportTest, SaveWritesTheTypePickedInTheSaveDialog) {
    auto f = Show();
    const struct {
        TTabSheet* Tab;
        const char* Shown; // picture format listed, or the data delimiter shown
        const char* Typed;
        int Filter;
        const char* File;
        std::string Start; // what the file starts with
        int Format, Delimiter;
    } cases[] = {
        {f->TabPicture, "as Metafile", "chartw", 3, "chartw.wmf", "\xD7\xCD\xC6\x9A", -1, -1},
        {f->TabPicture, "as Metafile", "chartx", 1, "chartx.bmp", "BM", -1, -1},
        {f->TabPicture, "as Bitmap", "charte", 2, "charte.emf", std::string("\x01\0\0\0", 4), -1,
         -1},
        {f->TabData, "Tab", "data", 3, "data.csv", "Text,Series1\r\n", 0, 2},
        {f->TabData, "Tab", "sheet", 7, "sheet.xls", std::string("\x09\x08", 2), 3, 1},
        {f->TabData, "Comma", "spaced", 1, "spaced.txt", "Text Series1\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        f->PageControl1->SelectPageByUser(c.Tab);
        if (c.Tab == f->TabPicture) {
            Pick(f.get(), c.Shown);
        } else {
            f->RGText->SetItemIndex(0);
            f->CBDelim->SetItemIndex(f->CBDelim->Items()->IndexOf(c.Shown));
            f->CBIndex->SetChecked(false);
            f->CBLabels->SetChecked(true);
            f->CBHeader->SetChecked(true);
        }
        Responder.ExpectSave(Path(c.Typed).c_str(), c.Filter);
        SimulateClick(f->BSave);
        ASSERT_TRUE(fs::exists(Path(c.File)));
        EXPECT_FALSE(fs::exists(Path(c.Typed)));
        EXPECT_EQ(ReadFile(Path(c.File)).substr(0, c.Start.size()), c.Start);
        if (c.Format >= 0) {
            EXPECT_EQ(f->RGText->ItemIndex(), c.Format);
            EXPECT_EQ(f->CBDelim->ItemIndex(), c.Delimiter);
        }
    }
}

TEST_F(ExportTest, ButtonsFollowTheTabAndTheData) {
    auto f = Show();
    Shot(f.get(), "export_picture");
    EXPECT_TRUE(f->BCopy->Enabled());
    f->PageControl1->SelectPageByUser(f->TabNative);
    Shot(f.get(), "export_native");
    EXPECT_FALSE(f->BCopy->Enabled()); // binary chart files have no text to copy
    EXPECT_TRUE(f->BSave->Enabled());
    Choose(static_cast<TComboBox*>(f->CBNativeFormat), "Text");
    EXPECT_TRUE(f->BCopy->Enabled());
    f->PageControl1->SelectPageByUser(f->TabData);
    Shot(f.get(), "export_data");
    f->RGText->SetItemIndex(3);
    EXPECT_FALSE(f->BCopy->Enabled());
    EXPECT_TRUE(f->BSave->Enabled());

    TChart empty;
    empty.SetBounds(0, 0, 400, 200);
    auto g = Show(&empty);
    g->PageControl1->SelectPageByUser(g->TabData);
    EXPECT_FALSE(g->BCopy->Enabled());
    EXPECT_FALSE(g->BSave->Enabled());
    EXPECT_FALSE(g->BSend->Enabled());
    g->PageControl1->SelectPageByUser(g->TabPicture);
    g->PageOptions->SetActivePage(g->TabSize);
    Shot(g.get(), "export_size");
    SimulateType(g->EWidth, "");
    g->EWidth->SetText("300");
    EXPECT_EQ(g->EHeight->Text(), "150");
}

TEST_F(ExportTest, ClipboardHoldsThePictureOfEachFormat) {
    auto f = Show();
    Clipboard()->Clear();
    Pick(f.get(), "as Bitmap");
    SimulateClick(f->BCopy);
    ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap b;
    b.Assign(Clipboard());
    EXPECT_EQ(b.Width(), 300);
    EXPECT_EQ(b.Height(), 200);
    int red = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            red += b.Canvas()->Pixels(x, y) == clRed;
    EXPECT_GT(red, 40);

    Pick(f.get(), "as Metafile");
    SimulateClick(f->BCopy);
    ASSERT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    TMetafile m;
    m.Assign(Clipboard());
    bool title = false;
    for (const auto& t : m.TextRecords())
        title = title || t.Text == "Field strength run";
    EXPECT_TRUE(title);
}

// Each data format the dialog copies reaches another program as the texts it
// holds: the bytes on the clipboard are read as a reader of that format reads
// them (an XML parser by the declaration, an HTML reader by its meta charset),
// and a saved file still reads back as before.
TEST_F(ExportTest, CopiedDataReadsAsItsTextsInEveryFormat) {
    QM_REQUIRE_TOOL("python3");
    const std::string reader = std::string("python3 ") + QM_TEST_SUPPORT_DIR + "/pasted_texts.py ";
    const std::map<std::string, std::string> kinds = {
        {"Text", "text"}, {"XML", "xml"}, {"HTML Table", "html"}};
    const std::string title = "Messkurve \xC3\x84 \xC2\xB5"; // as UTF-8
    Line->SetTitle("Messkurve \xC4 \xB5");
    Line->SetXLabel(0, "Spitze \xB5V \xE4");
    auto f = Show();
    f->PageControl1->SelectPageByUser(f->TabData);
    int copied = 0;
    for (int i = 0; i < f->RGText->Items()->Count(); ++i) {
        const std::string name = f->RGText->Items()->Strings(i).c_str();
        SCOPED_TRACE(name);
        f->RGText->SetItemIndex(i);
        if (f->CBDelim->Enabled()) Choose(static_cast<TComboBox*>(f->CBDelim), 1); // tab
        f->CBHeader->SetChecked(true);
        if (!f->BCopy->Enabled()) continue; // the worksheet is no text
        ASSERT_TRUE(kinds.count(name)) << "no reader for the format " << name;
        const std::string& kind = kinds.at(name);
        Clipboard()->Clear();
        SimulateClick(f->BCopy);
        const std::string pasted = Path("pasted.out");
        std::ofstream(pasted, std::ios::binary) << qmtest::ClipboardTextBytes();
        const std::string saved = Path("saved.out");
        Responder.ExpectSave(saved.c_str(), 0);
        SimulateClick(f->BSave);
        for (const auto& [file, medium] : {std::pair{pasted, "utf-8"}, {saved, "cp1252"}}) {
            SCOPED_TRACE(file);
            const std::string texts = RunCommand(reader + kind + " " + file + " " + medium);
            EXPECT_NE(texts.find(title + "\n"), std::string::npos) << texts;
            EXPECT_NE(texts.find("Spitze \xC2\xB5V \xC3\xA4\n"), std::string::npos) << texts;
        }
        ++copied;
    }
    EXPECT_EQ(copied, 3);
}

// A stand-in mail program: records its arguments and ends with Status.
std::string FakeMailer(const std::string& Folder, int Status) {
    const std::string path = Folder + "/mailer" + std::to_string(Status);
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << Folder
                        << "/mail.args\"\nexit " << Status << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

TEST_F(ExportTest, MailHandsTheFileOverOrSaysNoMailProgramIsInstalled) {
    // Nothing to start: Send stays disabled and the hand-off says why.
    SetMailProgramOverride(Path("no-such-mailer").c_str());
    auto f = Show();
    EXPECT_TRUE(f->BSave->Enabled());
    EXPECT_FALSE(f->BSend->Enabled());
    std::ofstream(Path("kept.bmp")) << "BM";
    try {
        TeeEmailFile(Path("kept.bmp").c_str(), "Chart");
        ADD_FAILURE() << "no message";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.Pos(TeeMsg_NoMailProgram), 0);
    }
    EXPECT_TRUE(fs::exists(Path("kept.bmp")));

    // The mail helper finds no mail program behind it: the message, file kept.
    SetMailProgramOverride(FakeMailer(Dir.string(), 3).c_str());
    f = Show();
    ASSERT_TRUE(f->BSend->Enabled());
    Responder.ExpectMessage(TeeMsg_NoMailProgram, IDOK);
    SimulateClick(f->BSend);
    EXPECT_TRUE(Responder.Done());
    std::istringstream args(ReadFile(Path("mail.args")));
    std::string line, attached;
    while (std::getline(args, line))
        if (line == "--attach") std::getline(args, attached);
    ASSERT_FALSE(attached.empty());
    EXPECT_TRUE(fs::exists(attached));

    // A working mail program gets subject and attachment; the file stays for it.
    SetMailProgramOverride(FakeMailer(Dir.string(), 0).c_str());
    f = Show();
    f->PageControl1->SelectPageByUser(f->TabData);
    Choose(static_cast<TComboBox*>(f->CBDelim), "Comma");
    SimulateClick(f->BSend);
    EXPECT_EQ(Responder.Shown().size(), 1u);
    std::istringstream sent(ReadFile(Path("mail.args")));
    std::vector<std::string> a;
    while (std::getline(sent, line))
        a.push_back(line);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0], "--subject");
    EXPECT_EQ(a[1], "Chart");
    EXPECT_EQ(a[2], "--attach");
    EXPECT_EQ(fs::path(a[3]).filename(), "Chart.csv");
    TSeriesDataText expected(Chart.get());
    expected.TextDelimiter = ',';
    expected.IncludeHeader = true;
    EXPECT_EQ(ReadFile(a[3]), expected.AsString().str());
    fs::remove_all(fs::path(a[3]).parent_path());
    fs::remove_all(fs::path(attached).parent_path());
}

} // namespace
