// Every print-out of the program on A4, A5 across and an 80 x 50 mm label:
// each text it writes lies whole inside its page of the PDF file. The
// print-outs are found in the program's source: every function that starts a
// print job or prints lines. One that this sweep has no driver for fails
// until it is added; so does one that starts a document past the print job.
#include "app/pgt300.h"
#include "app/rxmcalimenu.h"
#include "app_fixture.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeprevi.h"
#include "chart/editor/teeeditorstartup.h"
#include "paper_lines.h"
#include "platform/forms/buttons.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "support/external_tool.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"
#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace {

const fs::path SourceFolder = fs::path(__FILE__).parent_path().parent_path().parent_path() / "src";

// The routines a print-out prints through, and a print-out's own function.
const std::regex PrintsThrough(R"(\b(TPrintJob|TPrintLines)\s+\w+\s*[({])");
const std::regex Definition(R"(^[A-Za-z].*?\b([A-Za-z_]\w*::~?[A-Za-z_]\w*)\s*\(.*[^;]\s*$)");

struct TSourceScan {
    std::set<std::string> PrintOuts; // "Class::Function"
    std::vector<std::string> DocumentsStartedElsewhere;
};

TSourceScan ScanSource() {
    TSourceScan scan;
    if (!fs::is_directory(SourceFolder)) return scan;
    for (const auto& entry : fs::recursive_directory_iterator(SourceFolder)) {
        if (entry.path().extension() != ".cpp") continue;
        const std::string file = fs::relative(entry.path(), SourceFolder).string();
        std::ifstream in(entry.path());
        std::string line, function;
        for (int n = 1; std::getline(in, line); ++n) {
            std::smatch m;
            if (std::regex_match(line, m, Definition)) function = m[1];
            if (std::regex_search(line, PrintsThrough) && function.rfind("TPrintJob::", 0) != 0 &&
                function.rfind("TPrintLines::", 0) != 0)
                scan.PrintOuts.insert(function);
            if (line.find("BeginDoc()") != std::string::npos &&
                file != "platform/graphics/printjob.cpp" &&
                file != "platform/graphics/printers.cpp")
                scan.DocumentsStartedElsewhere.push_back(file + ":" + std::to_string(n));
        }
    }
    return scan;
}

const TSourceScan& Scan() {
    static const TSourceScan scan = ScanSource();
    return scan;
}

class PrintOutOnPaper : public AppTest, public ::testing::WithParamInterface<std::string> {
public:
    ~PrintOutOnPaper() override {
        if (FPgt) Time.Clock.Detach(FPgt.get());
        if (FRxm) Time.Clock.Detach(FRxm.get());
        Printer()->SetPaper({});
        Printer()->SetOrientation(poPortrait);
    }

    // The grounding tester with its statistics transferred and a comment.
    TFormPGT300* GroundingTester() {
        if (FormPGT300 && FPgt) return FormPGT300;
        DecimalSeparator = '.';
        FPgt = std::make_unique<TPgtSimulator>();
        Time.Clock.Attach(FPgt.get());
        FPgt->Change([&] {
            FPgt->Measurements = 26;
            FPgt->HGBBelow = 3;
            FPgt->HGBAbove = 1;
            FPgt->ShoeAbove = 2;
        });
        Start();
        FoCom->ComPort1->SetDeviceName(FPgt->Path().c_str());
        Item("Start_PGT300")->Click();
        Responder.ExpectMessage("Press the plate", IDOK);
        SimulateClick(FormPGT300->BitBtn_Start);
        FormPGT300->EditComment->SetText("east wing, plate 4");
        return FormPGT300;
    }
    // The calibration window with the meter's record in its info display.
    TFormRXMCali* Calibration() {
        if (FormRXMCali && FRxm) return FormRXMCali;
        DecimalSeparator = '.';
        DateSeparator = '.';
        FRxm = std::make_unique<TRxmSimulator>();
        Time.Clock.Attach(FRxm.get());
        char arg0[] = "qmreadout", arg1[] = "calibrate";
        char* argv[] = {arg0, arg1, nullptr};
        InitCommandLine(2, argv);
        Start();
        FoCom->ComPort1->SetDeviceName(FRxm->Path().c_str());
        Item("RXM_Calibrate")->Click();
        FormRXMCali->BitBtn_read_meas_data->Click();
        FormRXMCali->BitBtn_read_cali_data->SetEnabled(true);
        FormRXMCali->BitBtn_read_cali_data->Click();
        return FormRXMCali;
    }
    // The main window's live chart after a minute of readings.
    TChart* LiveChart() {
        if (!MainForm) {
            Start();
            TeeRegisterPrintAndExport();
            for (int s = 0; s <= 60; ++s)
                MainForm->Series1->AddXY(s * MainForm->ChartWidth / 60,
                                         0.8 * ((s * 37) % 21 - 10) / 10.0);
            MainForm->Chart1->Title()->Text()->SetText("Field strength, plate 4");
        }
        return MainForm->Chart1;
    }
    // The print preview of the live chart, its paper chosen in its Setup;
    // with Pages, the chart's pages are the navigator's.
    void PrintPreview(const TPaperCase& Paper, const AnsiString& File, bool Pages) {
        TChart* chart = LiveChart();
        chart->SetMaxPointsPerPage(Pages ? 20 : 0);
        TChartPreview form(nullptr);
        if (Pages) form.PageNavigatorClass = &TChartPageNavigator::ClassInfo;
        form.SetSubject(chart);
        form.Show();
        Responder.ExpectPaper(TDialogKind::PrinterSetupDialog, Paper.Paper, Paper.Orientation);
        SimulateClick(form.BSetupPrinter);
        Printer()->SetOutputFile(File);
        SimulateClick(form.BPrint);
        chart->SetMaxPointsPerPage(0);
    }
    // The print-out as a user prints it, on the paper chosen, into File.
    void PrintOut(const std::string& Name, const TPaperCase& Paper, const AnsiString& File) {
        const std::map<std::string, std::function<void()>> drivers = {
            {"TFormPGT300::PrintStatistics",
             [&] {
                 TFormPGT300* w = GroundingTester();
                 Responder.ExpectPaper(TDialogKind::PrintDialog, Paper.Paper, Paper.Orientation,
                                       File);
                 w->BitBtnPrintData->Click();
             }},
            {"TFormRXMCali::PrintInfoDisplay",
             [&] {
                 TFormRXMCali* w = Calibration();
                 Responder.ExpectPaper(TDialogKind::PrintDialog, Paper.Paper, Paper.Orientation,
                                       File);
                 w->BitBtn_print->Click();
             }},
            {"TCustomTeePanel::PrintRect",
             [&] {
                 TChart* chart = LiveChart();
                 TPrintDialog dialog(MainForm);
                 Responder.ExpectPaper(TDialogKind::PrintDialog, Paper.Paper, Paper.Orientation,
                                       File);
                 ASSERT_TRUE(dialog.Execute());
                 chart->Print();
             }},
            {"TCustomAxisPanel::PrintPages", [&] { PrintPreview(Paper, File, true); }},
            {"TTeePreviewPanel::Print", [&] { PrintPreview(Paper, File, false); }},
        };
        const auto driver = drivers.find(Name);
        ASSERT_NE(driver, drivers.end()) << Name << " prints, but this sweep does not print it";
        driver->second();
        EXPECT_TRUE(Responder.Done());
    }
    static std::set<std::string> Drivers() {
        return {"TFormPGT300::PrintStatistics", "TFormRXMCali::PrintInfoDisplay",
                "TCustomTeePanel::PrintRect", "TCustomAxisPanel::PrintPages",
                "TTeePreviewPanel::Print"};
    }

private:
    std::unique_ptr<TPgtSimulator> FPgt;
    std::unique_ptr<TRxmSimulator> FRxm;
};

TEST_P(PrintOutOnPaper, EveryTextLiesWholeOnThePage) {
    QM_REQUIRE_TOOL("pdftotext");
    if (Printer()->Printers()->Count() != 1) GTEST_SKIP() << "a real printer is installed";
    const std::string pdf = (Dir / "printout.pdf").string();
    for (const TPaperCase& paper : PaperCases) {
        SCOPED_TRACE(paper.Name);
        std::vector<std::string> written;
        {
            TRecordingPrinter printer(TSize(1, 1), PdfPixelsPerInch);
            printer.Install();
            PrintOut(GetParam(), paper, (Dir / "unused.pdf").string().c_str());
            written = RecordedTexts(printer);
        }
        fs::remove(pdf);
        PrintOut(GetParam(), paper, pdf.c_str());
        ExpectTextsWholeOnPaper(written, pdf, paper);
        if (const char* keep = std::getenv("QM_SHOTS")) {
            std::string name = GetParam() + " " + paper.Name + ".pdf";
            for (char& c : name)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '_';
            fs::copy_file(pdf, fs::path(keep) / name, fs::copy_options::overwrite_existing);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Source, PrintOutOnPaper,
                         ::testing::ValuesIn(std::vector<std::string>(Scan().PrintOuts.begin(),
                                                                      Scan().PrintOuts.end())),
                         [](const auto& i) {
                             std::string n = i.param;
                             n.erase(std::remove(n.begin(), n.end(), ':'), n.end());
                             return n;
                         });

// The sweep finds every print-out it has a driver for (a driver left over
// from a print-out gone fails too), and none starts a document of its own.
// It covers 5 print-outs on 3 papers: 15 cases.
TEST(PrintOutSweep, FindsEveryPrintOutAndNoneStartsADocumentOfItsOwn) {
    ASSERT_TRUE(fs::is_directory(SourceFolder)) << SourceFolder;
    EXPECT_EQ(Scan().PrintOuts, PrintOutOnPaper::Drivers());
    EXPECT_EQ(Scan().DocumentsStartedElsewhere, std::vector<std::string>());
}

} // namespace
