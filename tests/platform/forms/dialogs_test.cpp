// Message boxes, input boxes and common dialogs through the dialog responder,
// and the responder's own verdicts on unexpected and missing items.
#include "forms_fixture.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/formsqt.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include "platform/graphics/printers.h"
#include "platform/rtl/exceptions.h"
#include "support/external_tool.h"
#include "support/full_disk.h"
#include "support/temp_folder.h"
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <string>
#include <unistd.h>
#include <vector>

class DialogsTest : public FormsTest {};

TEST_F(DialogsTest, MessageBoxesReportTextCaptionFlagsAndTheAnswer) {
    Responder.ExpectMessage("Are you sure", IDCANCEL).ExpectMessage("LED", IDOK);
    EXPECT_EQ(Application->MessageBox("Are you sure !", "Delete statistic data memory !",
                                      MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDCANCEL);
    // A box given no caption is titled as the program, as every other box is.
    const AnsiString oldTitle = Application->Title();
    Application->SetTitle("QM read out");
    EXPECT_EQ(Application->MessageBox("Press until the LED lights up", "", MB_OKCANCEL), IDOK);
    Application->SetTitle(oldTitle);
    ASSERT_EQ(Responder.Shown().size(), 2u);
    EXPECT_EQ(Responder.Shown()[0].Caption, "Delete statistic data memory !");
    EXPECT_EQ(Responder.Shown()[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Responder.Shown()[1].Caption, "QM read out");
    EXPECT_TRUE(Responder.Done());
}

TEST_F(DialogsTest, MessageDlgMapsTypesAndButtons) {
    const struct {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Caption;
        int Flags;
    } rows[] = {
        {mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, "Confirmation", MB_YESNO | MB_ICONQUESTION},
        {mtWarning, mbYesNoCancel, "Warning", MB_YESNOCANCEL | MB_ICONWARNING},
        {mtError, TMsgDlgButtons{mbOK}, "Error", MB_OK | MB_ICONERROR},
        {mtInformation, mbOKCancel, "Information", MB_OKCANCEL | MB_ICONINFORMATION},
        {mtError, mbAbortRetryIgnore, "Error", MB_ABORTRETRYIGNORE | MB_ICONERROR},
    };
    for (const auto& row : rows) {
        Responder.ExpectMessage("Delete", IDYES);
        EXPECT_EQ(MessageDlg("Delete Series1 ?", row.Type, row.Buttons), mrYes);
        EXPECT_EQ(Responder.Shown().back().Caption, row.Caption);
        EXPECT_EQ(Responder.Shown().back().Flags, row.Flags);
    }
    Responder.ExpectMessage("Delete", IDNO);
    EXPECT_EQ(
        MessageDlgPos("Delete Series1 ?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0, 130, 120),
        mrNo);
}

// The box the user sees is wide enough for its title as a window manager
// writes it (bold), beside the frame's icon and buttons.
TEST_F(DialogsTest, MessageBoxesNeverCutTheirTitle) {
    const struct {
        const char* Caption;
        const char* Text;
        int Flags;
        std::vector<int> Ids;
    } boxes[] = {
        {"Input errors", "Incorrect date entry ", MB_OK, {IDOK}},
        {"Delete statistic data memory !",
         "Are you sure !",
         MB_OKCANCEL | MB_ICONEXCLAMATION,
         {IDOK, IDCANCEL}},
        {"Error", "Overflow", MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    };
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.Caption);
        QMessageBox box;
        std::vector<int> ids;
        for (const TMessageBoxButton& button : SetUpMessageBox(box, b.Text, b.Caption, b.Flags))
            ids.push_back(button.Id);
        EXPECT_EQ(ids, b.Ids);
        box.show();
        QApplication::processEvents();
        EXPECT_EQ(box.windowTitle().toStdString(), b.Caption);
        EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100);
        box.hide();
    }
}

TEST_F(DialogsTest, InputQueryAndInputBox) {
    Responder.ExpectInput("New Series Title:", "Volts").ExpectInputCancel("New Series Title:");
    AnsiString value = "Series1";
    EXPECT_TRUE(InputQuery("Change Series Title", "New Series Title:", value));
    EXPECT_EQ(value, "Volts");
    EXPECT_EQ(Responder.Shown()[0].Value, "Series1");
    EXPECT_EQ(InputBox("Change Series Title", "New Series Title:", "kept"), "kept");
}

namespace {
const char* const DataFilter =
    "Space delimited text files|*.txt|Tab delimited text files|*.txt|Comma delimited text "
    "files|*.csv|Custom delimited text files|*.txt|XML files|*.xml|HTML files|*.htm|"
    "Microsoft Excel files|*.xls";
const char* const CsvFilter =
    "Comma-Separated Values (*.CSV)|*.CSV|Text files (*.txt)|*.txt|All files (*.*)|*.*";
const char* const PictureFilter =
    "Bitmaps (*.bmp)|*.bmp|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";
} // namespace

TEST_F(DialogsTest, SaveDialogNamesTheFileAfterTheFilterChosen) {
    const struct {
        const char* Filter;
        const char* DefaultExt;
        int ShownIndex; // the filter the program offers
        const char* Typed;
        int ChosenIndex;  // the filter the user picks (0: leaves it)
        const char* Name; // the file the program gets
        int Reported;     // FilterIndex afterwards
    } cases[] = {
        {DataFilter, "txt", 2, "/data/data", 3, "/data/data.csv", 3},
        {DataFilter, "txt", 2, "/data/data", 7, "/data/data.xls", 7},
        {DataFilter, "txt", 2, "/data/data", 0, "/data/data.txt", 2},
        {DataFilter, "txt", 2, "/data/data.dat", 3, "/data/data.dat", 3},
        {DataFilter, "txt", 2, "/data/run.2/data", 6, "/data/run.2/data.htm", 6},
        {PictureFilter, "emf", 2, "/data/chartw", 3, "/data/chartw.wmf", 3},
        {PictureFilter, "emf", 2, "/data/chartw", 0, "/data/chartw.emf", 2},
        {CsvFilter, "CSV", 0, "/data/result", 2, "/data/result.txt", 2},
        {CsvFilter, "CSV", 0, "/data/result", 3, "/data/result.CSV", 3},
        {CsvFilter, "CSV", 0, "/data/result", 0, "/data/result.CSV", 1},
        {"Pictures|*.jpg;*.jpeg", "bmp", 1, "/data/p", 1, "/data/p.jpg", 1},
        {"*.CSV|*.CSV", "CSV", 1, "/data/RXMcaliData", 1, "/data/RXMcaliData.CSV", 1},
        // Without a default extension the platform adds none.
        {CsvFilter, "", 0, "/data/meas", 1, "/data/meas", 1},
        {"", "csv", 1, "/data/plain", 0, "/data/plain.csv", 1},
    };
    for (const auto& c : cases) {
        TSaveDialog dialog(Form.get());
        dialog.SetFilter(c.Filter);
        dialog.SetDefaultExt(c.DefaultExt);
        dialog.SetFilterIndex(c.ShownIndex);
        Responder.ExpectSave(c.Typed, c.ChosenIndex);
        EXPECT_TRUE(dialog.Execute()) << c.Typed;
        EXPECT_EQ(dialog.FileName(), c.Name) << c.Filter;
        EXPECT_EQ(dialog.Files()->Strings(0), c.Name);
        EXPECT_EQ(dialog.FilterIndex(), c.Reported) << c.Name;
        EXPECT_EQ(Responder.Shown().back().FilterIndex, c.ShownIndex);
    }
}

TEST_F(DialogsTest, SaveDialogCancelKeepsNameAndFilterAndTrimsTheInitialFolder) {
    TSaveDialog dialog(Form.get());
    dialog.SetFilter(CsvFilter);
    dialog.SetFilterIndex(0);
    dialog.SetFileName("RXMcaliData");
    dialog.SetInitialDir("D:\\Data\\");
    EXPECT_EQ(dialog.InitialDir(), "D:\\Data");
    dialog.SetInitialDir("C:\\");
    EXPECT_EQ(dialog.InitialDir(), "C:\\");
    Responder.ExpectCancel(TDialogKind::SaveDialog);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "RXMcaliData");
    EXPECT_EQ(dialog.FilterIndex(), 0);
    EXPECT_EQ(Responder.Shown()[0].InitialDir, "C:\\");
    EXPECT_EQ(Responder.Shown()[0].Value, "RXMcaliData");
}

// The dialog asked about "data"; "data.csv" is the file that would be replaced.
TEST_F(DialogsTest, SaveDialogAsksBeforeTheAddedExtensionReplacesAFile) {
    const std::string dir = MakeTempFolder("qm_dialogs_");
    const AnsiString existing((dir + "/data.csv").c_str());
    std::FILE* f = std::fopen(existing.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    TSaveDialog dialog(Form.get());
    dialog.SetFilter(DataFilter);
    dialog.SetDefaultExt("txt");
    dialog.SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
    const AnsiString typed((dir + "/data").c_str());
    Responder.ExpectSave(typed, 3)
        .ExpectMessage("data.csv already exists", IDNO)
        .ExpectSave(typed, 3)
        .ExpectMessage("data.csv already exists", IDYES);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), existing);
    EXPECT_EQ(Responder.Shown()[1].Flags & MB_TYPEMASK, MB_YESNO);
    // A name typed in full was the dialog's own question.
    Responder.ExpectSave(existing, 3);
    EXPECT_TRUE(dialog.Execute());
    std::remove(existing.c_str());
    rmdir(dir.c_str());
}

// What a real dialog gives back is the system's name (UTF-8): the program
// takes it as its own, or refuses it naming it and asks again.
TEST_F(DialogsTest, EveryFileDialogTakesTheSystemsNameOrRefusesOneItCannotHold) {
    const struct {
        const char* Name;
        TDialogKind Kind;
        std::function<std::unique_ptr<TOpenDialog>(TComponent*)> Make;
    } dialogs[] = {
        {"open", TDialogKind::OpenDialog,
         [](TComponent* o) { return std::make_unique<TOpenDialog>(o); }},
        {"save", TDialogKind::SaveDialog,
         [](TComponent* o) { return std::make_unique<TSaveDialog>(o); }},
        {"open picture", TDialogKind::OpenDialog,
         [](TComponent* o) { return std::make_unique<TOpenPictureDialog>(o); }},
        {"save picture", TDialogKind::SaveDialog,
         [](TComponent* o) { return std::make_unique<TSavePictureDialog>(o); }},
    };
    TDialogAnswer umlauts, cyrillic, cjk;
    umlauts.SystemName = "/data/Pr\xC3\xBC"
                         "fungen \xE2\x82\xAC/\xC3\xA9\xC3\xBC\xC3\x9F.tee";
    cyrillic.SystemName = "/data/\xD0\x9F\xD1\x80/x.tee";
    cjk.SystemName = "/data/\xE6\xB5\x8B.tee";
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.Name);
        const auto dialog = d.Make(Form.get());
        dialog->SetFileName("before.tee");
        Responder.Expect(d.Kind, "", cyrillic)
            .ExpectMessage("Cannot use \"/data/??/x.tee\": the name holds characters outside", IDOK)
            .Expect(d.Kind, "", umlauts);
        EXPECT_TRUE(dialog->Execute());
        EXPECT_EQ(dialog->FileName(), "/data/Pr\xFC"
                                      "fungen \x80/\xE9\xFC\xDF.tee");
        Responder.Expect(d.Kind, "", cjk)
            .ExpectMessage("Cannot use \"/data/?.tee\"", IDOK)
            .ExpectCancel(d.Kind);
        EXPECT_FALSE(dialog->Execute());
        EXPECT_EQ(dialog->FileName(), "/data/Pr\xFC"
                                      "fungen \x80/\xE9\xFC\xDF.tee");
        EXPECT_TRUE(Responder.Done());
    }
}

TEST_F(DialogsTest, PictureDialogsListThePictureFormats) {
    TOpenPictureDialog open(Form.get());
    TSavePictureDialog save(Form.get());
    EXPECT_EQ(open.Filter(), TPicture::GraphicFilter());
    EXPECT_NE(open.Filter().Pos("*.bmp"), 0);
    Responder.ExpectOpen("/data/a.bmp").ExpectSave("/data/b.bmp");
    EXPECT_TRUE(open.Execute());
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(Responder.Shown()[0].Kind, TDialogKind::OpenDialog);
    EXPECT_EQ(Responder.Shown()[1].Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(Responder.Shown()[1].Filter, TPicture::GraphicFilter());
}

TEST_F(DialogsTest, PrintDialogOffersAndReportsAPageRange) {
    TPrintDialog print(Form.get());
    print.SetMinPage(1);
    print.SetMaxPage(3);
    Responder.ExpectPrintPages(2, 3).ExpectPrint(true).ExpectPrintPages(1, 1);
    // Without poPageNums no range is offered, so none comes back.
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prAllPages);
    EXPECT_EQ(Responder.Shown()[0].MaxPage, 0);
    print.SetOptions(TPrintDialogOptions{poPageNums});
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prAllPages);
    EXPECT_EQ(Responder.Shown()[1].MinPage, 1);
    EXPECT_EQ(Responder.Shown()[1].MaxPage, 3);
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prPageNums);
    EXPECT_EQ(print.FromPage(), 1);
    EXPECT_EQ(print.ToPage(), 1);
}

TEST_F(DialogsTest, ColourFontAndPrintDialogs) {
    TColorDialog color(Form.get());
    color.SetColor(clRed);
    Responder.ExpectColor(clBlue).ExpectCancel(TDialogKind::ColorDialog);
    EXPECT_TRUE(color.Execute());
    EXPECT_EQ(color.Color(), clBlue);
    EXPECT_FALSE(color.Execute());
    EXPECT_EQ(color.Color(), clBlue);
    EXPECT_EQ(Responder.Shown()[1].Color, clBlue);

    TFontDialog font(Form.get());
    Responder.ExpectFont([](TFont* f) { f->SetSize(14); });
    EXPECT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->Size(), 14);

    TPrintDialog print(Form.get());
    TPrinterSetupDialog setup(Form.get());
    print.SetCopies(2);
    Responder.ExpectPrint(false).ExpectPrint(true).Expect(TDialogKind::PrinterSetupDialog, "",
                                                          TDialogAnswer{});
    EXPECT_FALSE(print.Execute());
    EXPECT_EQ(Printer()->Copies(), 1);
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(Printer()->Copies(), 2); // the program's printer prints the copies chosen
    Printer()->SetCopies(1);
    EXPECT_TRUE(setup.Execute());
}

TEST(DialogResponderTest, UnexpectedMismatchedAndMissingItemsAreFailures) {
    std::vector<std::string> failures;
    {
        TDialogResponder responder;
        responder.OnFailure = [&](const AnsiString& m) { failures.push_back(m.c_str()); };
        // Nothing expected: the box gets the answer that cancels it.
        EXPECT_EQ(Application->MessageBox("Retry ?", "Error", MB_RETRYCANCEL), IDCANCEL);
        EXPECT_EQ(Application->MessageBox("Sure ?", "Query", MB_YESNO), IDNO);
        EXPECT_EQ(Application->MessageBox("Saved.", "File saved", MB_OK), IDOK);
        // The wrong kind or text.
        responder.ExpectMessage("Checksum", IDRETRY);
        EXPECT_EQ(Application->MessageBox("Timeout", "Error", MB_RETRYCANCEL), IDCANCEL);
        responder.ExpectOpen("/data/x");
        TOpenDialog open(nullptr);
        EXPECT_EQ(Application->MessageBox("Busy", "Error", MB_OK), IDOK);
        EXPECT_FALSE(open.Execute());
        // One left over when the responder goes.
        responder.ExpectMessage("never", IDOK);
    }
    ASSERT_EQ(failures.size(), 7u);
    EXPECT_NE(failures[0].find("unexpected message box \"Error\": \"Retry ?\""), std::string::npos);
    EXPECT_NE(failures[3].find("expected message box containing \"Checksum\""), std::string::npos);
    EXPECT_NE(failures[4].find("expected open dialog"), std::string::npos);
    EXPECT_NE(failures[6].find("\"never\" was never shown"), std::string::npos);
}

TEST(DialogResponderTest, NestedRespondersRestoreTheOuterOne) {
    TDialogResponder outer;
    outer.ExpectMessage("outer", IDOK);
    {
        TDialogResponder inner;
        inner.ExpectMessage("inner", IDYES);
        EXPECT_EQ(Application->MessageBox("inner", "", MB_YESNO), IDYES);
    }
    EXPECT_EQ(TDialogResponder::Current(), &outer);
    EXPECT_EQ(Application->MessageBox("outer", "", MB_OK), IDOK);
    EXPECT_TRUE(outer.Done());
    EXPECT_TRUE(outer.Failures().empty());
}

// Print-outs without a printer are PDF files: the file the print dialog names,
// else a name that replaces nothing, announced in a message.
class PrintToFileTest : public DialogsTest {
protected:
    void SetUp() override {
        if (!QPrinterInfoEmpty()) GTEST_SKIP() << "a real printer is installed";
        Dir = MakeTempFolder("qm_print_");
        Previous = SetPrinter(&Real);
        Real.SetPdfOutputPath(Path("Chart1.pdf"));
    }
    void TearDown() override {
        SetPrinter(Previous == &Real ? nullptr : Previous);
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    static bool QPrinterInfoEmpty() {
        TPrinter probe;
        return probe.Printers()->Count() == 1 && probe.Printers()->Strings(0) == "PDF file";
    }
    AnsiString Path(const char* Name) const { return AnsiString((Dir + "/" + Name).c_str()); }
    void PrintPage(const char* Text) {
        Real.SetTitle("Chart1");
        Real.BeginDoc();
        Real.Canvas()->Font()->SetName("Arial");
        Real.Canvas()->TextOut(300, 300, Text);
        Real.EndDoc();
    }
    std::string PdfText(const AnsiString& Pdf) {
        const std::string txt = Dir + "/out.txt";
        if (std::system(("pdftotext '" + Pdf.str() + "' '" + txt + "'").c_str()) != 0) return "";
        std::ifstream f(txt);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    TPrinter Real;
    TPrinter* Previous = nullptr;
    std::string Dir;
};

TEST_F(PrintToFileTest, TheDialogsFileIsPrintedIntoOnceAndNothingElseIsReplaced) {
    QM_REQUIRE_TOOL("pdftotext");
    TPrintDialog dialog(Form.get());
    const struct {
        const char* Answer; // the file named in the dialog ("" OK as proposed, 0 no dialog)
        const char* Text;
        const char* File; // where the print-out must be
        bool Announced;
    } jobs[] = {
        {nullptr, "live chart", "Chart1.pdf", true},
        {nullptr, "decay chart", "Chart1 (2).pdf", true},
        {"stats.pdf", "statistics", "stats.pdf", false},
        {"stats.pdf", "statistics again", "stats.pdf", false}, // the user agreed to replace
        {"", "proposed", "Chart1 (3).pdf", false},
        {nullptr, "after the dialog's job", "Chart1 (4).pdf", true},
    };
    for (const auto& j : jobs) {
        SCOPED_TRACE(j.Text);
        if (j.Answer && *j.Answer)
            Responder.ExpectPrintToFile(Path(j.Answer));
        else if (j.Answer)
            Responder.ExpectPrint(true);
        if (j.Announced) Responder.ExpectMessage(Path(j.File), IDOK);
        if (j.Answer) {
            ASSERT_TRUE(dialog.Execute());
        }
        PrintPage(j.Text);
        EXPECT_TRUE(Responder.Done());
        EXPECT_EQ(Real.LastOutputFile(), Path(j.File));
        EXPECT_NE(PdfText(Path(j.File)).find(j.Text), std::string::npos);
    }
    // Every earlier print-out is still there.
    EXPECT_NE(PdfText(Path("Chart1.pdf")).find("live chart"), std::string::npos);
    EXPECT_NE(PdfText(Path("Chart1 (2).pdf")).find("decay chart"), std::string::npos);
    EXPECT_NE(PdfText(Path("Chart1 (3).pdf")).find("proposed"), std::string::npos);
    const AnsiString notice = Responder.Shown()[0].Text;
    EXPECT_EQ(notice, "The print-out was saved as\n" + Path("Chart1.pdf"));
}

TEST_F(PrintToFileTest, TheDialogsFileInAFolderSoNamedOrRefusedNamingIt) {
    QM_REQUIRE_TOOL("pdftotext");
    TPrintDialog dialog(Form.get());
    TDialogAnswer cyrillic, umlauts;
    cyrillic.SystemName = Dir + "/\xD0\x9F/x.pdf";
    umlauts.SystemName = Dir + "/Pr\xC3\xBC"
                               "fungen/Statistik \xC3\xA9.pdf";
    std::filesystem::create_directory(Dir + "/Pr\xC3\xBC"
                                            "fungen");
    Responder.Expect(TDialogKind::PrintDialog, "", cyrillic)
        .ExpectMessage(("Cannot use \"" + Dir + "/?/x.pdf\"").c_str(), IDOK)
        .Expect(TDialogKind::PrintDialog, "", umlauts);
    ASSERT_TRUE(dialog.Execute());
    PrintPage("umlauts");
    const AnsiString wanted = Path("Pr\xFC"
                                   "fungen/Statistik \xE9.pdf");
    EXPECT_EQ(Real.LastOutputFile(), wanted);
    EXPECT_NE(PdfText(AnsiString(umlauts.SystemName)).find("umlauts"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dir + "/\xD0\x9F"));

    // A folder that does not exist is refused as a save there would be; none is made.
    Responder.ExpectPrintToFile(Path("Runs/run 7.pdf"));
    ASSERT_TRUE(dialog.Execute());
    std::string message;
    try {
        PrintPage("nowhere");
    } catch (const EFCreateError& e) {
        message = e.what();
    }
    EXPECT_EQ(message,
              "Cannot create file \"" + Dir + "/Runs/run 7.pdf\". No such file or directory");
    EXPECT_FALSE(Real.Printing());
    EXPECT_FALSE(std::filesystem::exists(Dir + "/Runs"));
}

namespace {
// The size of a PDF's first page in points, as pdfinfo reads it.
std::pair<double, double> PdfPagePoints(const AnsiString& Pdf) {
    FILE* p = ::popen(("pdfinfo '" + Pdf.str() + "'").c_str(), "r");
    std::string out;
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p))
        out += buf;
    if (p) ::pclose(p);
    double w = 0, h = 0;
    const size_t at = out.find("Page size:");
    if (at != std::string::npos) std::sscanf(out.c_str() + at, "Page size: %lf x %lf", &w, &h);
    return {w, h};
}

double Points(int TenthsMm) {
    return TenthsMm * 72.0 / 254.0;
}
} // namespace

// Both dialogs that choose paper give the printer that paper and orientation,
// and the PDF file's pages are of it.
TEST_F(PrintToFileTest, ThePaperChosenInEitherDialogIsThePdfsPage) {
    QM_REQUIRE_TOOL("pdfinfo");
    TPrintDialog print(Form.get());
    TPrinterSetupDialog setup(Form.get());
    const struct {
        TDialogKind Kind;
        TPaperSize Paper;
        TPrinterOrientation Orientation;
        int Width, Height; // the page in tenths of a millimetre
    } cases[] = {
        {TDialogKind::PrintDialog, {800, 500}, poPortrait, 800, 500},
        {TDialogKind::PrintDialog, {1480, 2100}, poLandscape, 2100, 1480},
        {TDialogKind::PrinterSetupDialog, {1480, 2100}, poPortrait, 1480, 2100},
        {TDialogKind::PrinterSetupDialog, {800, 500}, poLandscape, 500, 800},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        const bool isPrint = c.Kind == TDialogKind::PrintDialog;
        const AnsiString file = Path(("paper" + std::to_string(n++) + ".pdf").c_str());
        Responder.ExpectPaper(c.Kind, c.Paper, c.Orientation, isPrint ? file : AnsiString());
        ASSERT_TRUE(isPrint ? print.Execute() : setup.Execute());
        EXPECT_EQ(Real.Paper(), c.Paper);
        EXPECT_EQ(Real.Orientation(), c.Orientation);
        // Measured before the job: 600 pixels an inch, the PDF's pages in whole points.
        const TSize page = PaperPixels({c.Width, c.Height}, poPortrait, 600);
        EXPECT_NEAR(Real.PageWidth(), page.cx, 600 / 72);
        EXPECT_NEAR(Real.PageHeight(), page.cy, 600 / 72);
        if (!isPrint) Real.SetOutputFile(file);
        PrintPage("on the paper chosen");
        const auto [w, h] = PdfPagePoints(file);
        EXPECT_NEAR(w, Points(c.Width), 0.5);
        EXPECT_NEAR(h, Points(c.Height), 0.5);
    }
    // The next dialog opens with the paper last chosen; answered as shown, it keeps it.
    Responder.ExpectPrint(true);
    ASSERT_TRUE(print.Execute());
    EXPECT_EQ(Responder.Shown().back().Paper, (TPaperSize{800, 500}));
    EXPECT_EQ(Responder.Shown().back().Orientation, poLandscape);
    EXPECT_EQ(Real.Paper(), (TPaperSize{800, 500}));
}

// A print file is written whole or not at all: a full disk or a file-size
// limit leaves an existing file as it was and no new one, and says why.
TEST_F(PrintToFileTest, AFailedPrintFileKeepsTheOldFileAndSaysWhatFailed) {
    TPrintDialog print(Form.get());
    const std::string old(20 * 1024, 'o');
    for (const rlim_t limit : {rlim_t(0), rlim_t(1024)}) {
        for (const bool exists : {true, false}) {
            SCOPED_TRACE(std::to_string(limit) + (exists ? " over a file" : " new"));
            const AnsiString file = Path("kept.pdf");
            std::filesystem::remove(file.str());
            if (exists) std::ofstream(file.str(), std::ios::binary) << old;
            Responder.ExpectPrintToFile(file);
            ASSERT_TRUE(print.Execute());
            std::string message;
            {
                TFullDisk disk(limit);
                try {
                    PrintPage("never seen");
                } catch (const Exception& e) {
                    message = e.Message.str();
                }
            }
            EXPECT_NE(message.find(file.str()), std::string::npos) << message;
            EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
            EXPECT_FALSE(Real.Printing());
            if (exists) {
                std::ifstream in(file.str(), std::ios::binary);
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
            } else {
                EXPECT_FALSE(std::filesystem::exists(file.str()));
            }
            // Nothing unfinished is left beside it.
            int files = 0;
            for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Dir))
                ++files;
            EXPECT_EQ(files, exists ? 1 : 0);
        }
    }
}

// A print deletes no file it did not make: a file named as the print-out
// with a tail (notes kept beside it) stays as it was, whether the print-out
// replaces its file or takes a free name beside it.
TEST_F(PrintToFileTest, APrintLeavesTheFilesBesideItsOwnAlone) {
    QM_REQUIRE_TOOL("pdftotext");
    TPrintDialog print(Form.get());
    const AnsiString file = Path("stats.pdf");
    const std::string notes = "notes of run 7\n";
    for (const char* beside : {"stats.pdf.part", "Chart1.pdf.part", "Chart1 (2).pdf.part"})
        std::ofstream(Dir + "/" + beside, std::ios::binary) << notes;
    Responder.ExpectPrintToFile(file);
    ASSERT_TRUE(print.Execute());
    PrintPage("into the dialog's file");
    Responder.ExpectMessage(Path("Chart1.pdf"), IDOK);
    PrintPage("under the proposed name");
    Responder.ExpectMessage(Path("Chart1 (2).pdf"), IDOK);
    PrintPage("beside the first");
    EXPECT_NE(PdfText(file).find("into the dialog's file"), std::string::npos);
    EXPECT_NE(PdfText(Path("Chart1 (2).pdf")).find("beside the first"), std::string::npos);
    for (const char* beside : {"stats.pdf.part", "Chart1.pdf.part", "Chart1 (2).pdf.part"}) {
        std::ifstream in(Dir + "/" + beside, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), notes) << beside;
    }
}
