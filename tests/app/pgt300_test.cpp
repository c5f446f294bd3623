// The grounding tester's window against the simulated tester on a
// pseudo-terminal: transfer, CSV file, print-out, failures.
#include "app/pgt300.h"
#include "app_fixture.h"
#include "paper_lines.h"
#include "platform/graphics/metafile.h"
#include "platform/rtl/formatsettings.h"
#include "support/pgt_sim.h"
#include "support/external_tool.h"
#include "support/recording_printer.h"
#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace {
class Pgt300Test : public AppTest {
public:
    void SetUp() override {
        DecimalSeparator = '.';
        Time.Clock.Attach(&Sim);
        Sim.Change([&] {
            Sim.Measurements = 26;
            Sim.HGBBelow = 3;
            Sim.HGBAbove = 1;
            Sim.ShoeBelow = 0;
            Sim.ShoeAbove = 2;
        });
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item("Start_PGT300")->Click();
        W = FormPGT300;
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }
    void Transfer(bool Fails = false) {
        Responder.ExpectMessage("Press the plate", IDOK);
        if (Fails) Responder.ExpectMessage("No valid data received", IDOK);
        SimulateClick(W->BitBtn_Start);
    }
    std::vector<std::string> Shown() {
        std::vector<std::string> out;
        for (TEdit* e : {W->Counter_all, W->Counter_HGB_L, W->Counter_HGB_L_P, W->Counter_HGB_H,
                         W->Counter_HGB_H_P, W->Counter_Shoe_L, W->Counter_Shoe_L_P,
                         W->Counter_Shoe_H, W->Counter_Shoe_H_P})
            out.push_back(e->Text().c_str());
        return out;
    }
    TPgtSimulator Sim;
    TFormPGT300* W = nullptr;
};

const std::vector<std::string> Expected = {"25", "3",    "11.5%", "1",   "3.8%",
                                           "0",  "0.0%", "2",     "7.7%"};
} // namespace

TEST_F(Pgt300Test, TransferShowsCountsAndPercentagesAndSavesTwiceUnderOneHeader) {
    Transfer();
    EXPECT_EQ(Shown(), Expected);
    EXPECT_TRUE(W->BitBtnSaveData->Enabled());
    EXPECT_TRUE(W->EditComment->Visible());
    W->EditComment->SetText("line 3; east\r\nwing");
    const fs::path csv = Dir / "pgt.csv";
    for (int i = 0; i < 2; ++i) {
        Responder.ExpectSave(csv.string().c_str());
        W->BitBtnSaveData->Click();
    }
    std::ifstream in(csv, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    const std::string header = "Date;Time;No. of meas.;HGB <;HGB < %;HGB >;HGB > %;Shoe <;Shoe < "
                               "%;Shoe >;Shoe > %;Comment\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    const std::string tail = ";25;3;11.5%;1;3.8%;0;0.0%;2;7.7%;line 3, east  wing\r\n";
    size_t rows = 0;
    for (size_t at = 0; (at = text.find(tail, at)) != std::string::npos; at += tail.size())
        ++rows;
    EXPECT_EQ(rows, 2u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST_F(Pgt300Test, RowAfterARowTornByAKillStartsOnALineOfItsOwn) {
    Transfer();
    W->EditComment->SetText("after");
    const fs::path csv = Dir / "torn.csv";
    const std::string torn = "Date;Time;No. of meas.\r\n01.02.2024;10:00:00;25;3;11.";
    std::ofstream(csv, std::ios::binary) << torn;
    Responder.ExpectSave(csv.string().c_str());
    W->BitBtnSaveData->Click();
    std::ifstream in(csv, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(text.substr(0, torn.size() + 2), torn + "\r\n");
    const std::string row = text.substr(torn.size() + 2);
    const std::string tail = ";25;3;11.5%;1;3.8%;0;0.0%;2;7.7%;after\r\n";
    EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 1) << row;
    ASSERT_GT(row.size(), tail.size());
    EXPECT_EQ(row.substr(row.size() - tail.size()), tail);
}

TEST_F(Pgt300Test, DeclinedDeleteQuestionTransfersWithoutClearing) {
    W->CheckBoxDeleteStatisticData->SetChecked(true);
    Responder.ExpectMessage("Are you sure !", IDCANCEL);
    Transfer();
    EXPECT_FALSE(W->CheckBoxDeleteStatisticData->Checked());
    EXPECT_EQ(Sim.Received().substr(0, 1), "\x7A");
    Sim.ClearAck();
    W->CheckBoxDeleteStatisticData->SetChecked(true);
    Responder.ExpectMessage("Are you sure !", IDOK);
    Transfer();
    EXPECT_NE(Sim.Received().find('\x7B'), std::string::npos);
}

TEST_F(Pgt300Test, NoMeasurementsShowZeroWithoutDecrease) {
    Sim.Change([&] { Sim.Measurements = Sim.HGBBelow = Sim.HGBAbove = Sim.ShoeAbove = 0; });
    Transfer();
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"0", "0", "0.0%", "0", "0.0%", "0", "0.0%", "0", "0.0%"}));
}

TEST_F(Pgt300Test, PrintOutLinesAtTheirPositions) {
    Transfer();
    W->EditComment->SetText("east wing");
    TRecordingPrinter printer; // 300 pixels per inch: h = 82 at 14 points, 58 at 10
    printer.Install();
    Responder.ExpectPrint(true);
    W->BitBtnPrintData->Click();
    ASSERT_EQ(printer.PageCount(), 1);
    EXPECT_EQ(printer.Log.front(), "BeginDoc Print out statistic data");
    const auto records = printer.Page(0)->TextRecords();
    std::vector<std::string> got;
    for (const auto& r : records) {
        std::ostringstream s;
        s << r.Pos.x << "," << r.Pos.y << " "
          << (r.Text.Pos("Date : ") == 1 ? "Date" : r.Text.c_str());
        got.push_back(s.str());
    }
    EXPECT_EQ(
        got, (std::vector<std::string>{
                 "400,164 PGT 300 Print out statistic data.", "400,246 Date",
                 "400,348 Number of measurments : 25", "400,406 HGB <  : 3", "1000,406  = 11.5%",
                 "400,464 HGB >  : 1", "1000,464  = 3.8%", "400,522 Shoe < : 0", "1000,522  = 0.0%",
                 "400,580 Shoe > : 2", "1000,580  = 7.7%", "400,696 Comment : east wing"}));
}

// On paper shorter than the sheet the layout fills, a line that would pass
// the page's end goes on the next page: each inside its page, none lost.
TEST_F(Pgt300Test, PrintOutBreaksPagesOnShortPaper) {
    Transfer();
    W->EditComment->SetText("east wing");
    const struct {
        int Height, Pages;
        std::vector<std::string> Tops; // "page:y text" of the lines that moved
    } papers[] = {{3508, 1, {}},
                  {600, 2, {"1:232 Shoe > : 2", "1:348 Comment : east wing"}},
                  {300, 8, {"1:218 Date", "2:232 Number of measurments : 25"}}};
    for (const auto& p : papers) {
        TRecordingPrinter printer(TSize(2480, p.Height), 300);
        printer.Install();
        Responder.ExpectPrint(true);
        W->BitBtnPrintData->Click();
        EXPECT_EQ(printer.PageCount(), p.Pages) << p.Height;
        std::vector<std::string> texts, tops;
        for (int i = 0; i < printer.PageCount(); ++i)
            for (const auto& r : printer.Page(i)->TextRecords()) {
                const bool heading = texts.size() < 2;
                const std::string text = r.Text.Pos("Date : ") == 1 ? "Date" : r.Text.c_str();
                EXPECT_LE(r.Pos.y + (heading ? 82 : 58), p.Height) << p.Height << " " << text;
                if (i > 0)
                    tops.push_back(std::to_string(i) + ":" + std::to_string(r.Pos.y) + " " + text);
                texts.push_back(text);
            }
        EXPECT_EQ(texts,
                  (std::vector<std::string>{"PGT 300 Print out statistic data.", "Date",
                                            "Number of measurments : 25", "HGB <  : 3", " = 11.5%",
                                            "HGB >  : 1", " = 3.8%", "Shoe < : 0", " = 0.0%",
                                            "Shoe > : 2", " = 7.7%", "Comment : east wing"}))
            << p.Height;
        for (const std::string& t : p.Tops)
            EXPECT_NE(std::find(tops.begin(), tops.end(), t), tops.end()) << p.Height << " " << t;
    }
}

// The paper and orientation chosen in the print dialog are the pages the
// lines are placed on, each whole on the paper.
TEST_F(Pgt300Test, PrintOutLinesGoOnThePaperChosenInTheDialog) {
    QM_REQUIRE_TOOL("pdftotext");
    if (Printer()->Printers()->Count() != 1) GTEST_SKIP() << "a real printer is installed";
    Transfer();
    W->EditComment->SetText("east wing");
    ExpectLinesOnChosenPaper(Responder, [this] { W->BitBtnPrintData->Click(); }, 12);
}

// Printed as a user does without a printer: into the file named in the print
// dialog, every line legible; a later print-out leaves it alone.
TEST_F(Pgt300Test, PrintOutGoesLegiblyToTheChosenFileAndReplacesNoEarlierOne) {
    QM_REQUIRE_TOOL("pdftotext");
    if (Printer()->Printers()->Count() != 1) GTEST_SKIP() << "a real printer is installed";
    Transfer();
    W->EditComment->SetText("east wing");
    const fs::path pdf = Dir / "statistics.pdf";
    Responder.ExpectPrintToFile(pdf.string().c_str());
    W->BitBtnPrintData->Click();
    const std::string txt = (Dir / "pgt.txt").string();
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' " + txt).c_str()), 0);
    std::ifstream f(txt);
    const std::string text(std::istreambuf_iterator<char>(f), {});
    for (const char* line :
         {"PGT 300 Print out statistic data\\.\n", "Date : [0-9./-]+\n",
          "Number of measurments : 25\n", "HGB < +: 3 += 11\\.5%\n", "HGB > +: 1 += 3\\.8%\n",
          "Shoe < : 0 += 0\\.0%\n", "Shoe > : 2 += 7\\.7%\n", "Comment : east wing\n"})
        EXPECT_TRUE(std::regex_search(text, std::regex(line))) << line << " in\n" << text;
    EXPECT_EQ(text.find("%%"), std::string::npos);

    // OK on the file the dialog proposes: beside yesterday's sheet, not over it.
    Printer()->SetPdfOutputPath(pdf.string().c_str());
    Responder.ExpectPrint(true);
    W->BitBtnPrintData->Click();
    Printer()->SetPdfOutputPath("");
    EXPECT_TRUE(fs::exists(Dir / "statistics (2).pdf"));
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' " + txt).c_str()), 0);
    std::ifstream again(txt);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), text);
}

struct TPgtFault {
    const char* Name;
    TSerialSimulator::TFault Fault;
};
class Pgt300FaultTest : public Pgt300Test, public ::testing::WithParamInterface<TPgtFault> {};

TEST_P(Pgt300FaultTest, FailedTransferSaysSoAndKeepsTheCountsSavable) {
    Transfer();
    Sim.SetFault(GetParam().Fault);
    Transfer(true);
    EXPECT_NE(Responder.Shown().back().Text.Pos("Port "), 0);
    EXPECT_EQ(Shown(), Expected);
    EXPECT_TRUE(W->BitBtnSaveData->Enabled());
    EXPECT_TRUE(W->BitBtnPrintData->Enabled());
    EXPECT_TRUE(W->EditComment->Visible());
    Sim.SetFault(TSerialSimulator::None);
    Transfer();
    EXPECT_TRUE(W->BitBtnSaveData->Enabled());
    W->BitBtn_Cancel->Click();
    EXPECT_FALSE(W->Visible());
    EXPECT_FALSE(FoCom->ComPort1->Active());
    EXPECT_EQ(W->Counter_all->Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Faults, Pgt300FaultTest,
                         ::testing::Values(TPgtFault{"Silent", TSerialSimulator::Silent},
                                           TPgtFault{"Garbage", TSerialSimulator::Garbage},
                                           TPgtFault{"BadCheck", TSerialSimulator::BadCheck}),
                         [](const auto& i) { return std::string(i.param.Name); });

// ---------------------------------------------------------------------------
// Sequences of the operator's steps: counts that exist nowhere else after a
// transfer with "delete", the data folder, saves on a full disk and into a
// read-only folder.

#include "support/full_disk.h"

namespace {
class Pgt300Sequence : public Pgt300Test {
public:
    using AppTest::Dir;
    using AppTest::ReadIni;
    using AppTest::ReadOnlySetupIni;
    using AppTest::Responder;
    using AppTest::WriteIni;
    void SetUp() override {
        // Without a trailing delimiter the folder is never written back.
        WriteIni("[PGT]\nDataDirectory=" + Dir.string() + "\n");
        Pgt300Test::SetUp();
    }
    void Save(const std::string& File, const char* Then = nullptr) {
        Responder.ExpectSave(File.c_str());
        if (Then) Responder.ExpectMessage(Then, IDOK);
        SimulateClick(W->BitBtnSaveData);
    }
    std::string Csv() const { return (Dir / "pgt.csv").string(); }
    static std::string Read(const std::string& File) {
        std::ifstream in(File, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static size_t Rows(const std::string& Text) {
        return static_cast<size_t>(std::count(Text.begin(), Text.end(), '\n'));
    }
};

struct TPgtCase {
    const char* Name;
    std::function<void(Pgt300Sequence&)> Steps;
};

const TPgtCase PgtCases[] = {
    {"AFailedTransferAfterDeleteKeepsTheCountsSavableAndPrintable",
     [](Pgt300Sequence& t) {
         t.W->CheckBoxDeleteStatisticData->SetChecked(true);
         t.Responder.ExpectMessage("Are you sure !", IDOK);
         t.Transfer();
         t.Sim.SetFault(TSerialSimulator::Silent);
         t.W->CheckBoxDeleteStatisticData->SetChecked(false);
         t.Transfer(true);
         EXPECT_EQ(t.Shown(), Expected);
         t.Save(t.Csv());
         EXPECT_NE(t.Read(t.Csv()).find(";25;3;11.5%;1;3.8%;0;0.0%;2;7.7%;"), std::string::npos);
         TRecordingPrinter printer;
         printer.Install();
         t.Responder.ExpectPrint(true);
         t.W->BitBtnPrintData->Click();
         EXPECT_NE(printer.AllText().find("Number of measurments : 25"), std::string::npos);
     }},
    {"ACancelledTransferKeepsTheCounts",
     [](Pgt300Sequence& t) {
         t.Transfer();
         t.Responder.ExpectMessage("Press the plate", IDCANCEL);
         SimulateClick(t.W->BitBtn_Start);
         EXPECT_EQ(t.Shown(), Expected);
         EXPECT_TRUE(t.W->BitBtnSaveData->Enabled());
         EXPECT_TRUE(t.W->BitBtnPrintData->Enabled());
     }},
    {"TheDataFolderIsWrittenOnlyWhenItLosesItsTrailingDelimiter",
     [](Pgt300Sequence& t) {
         t.Transfer();
         fs::create_directories(t.Dir / "elsewhere");
         const std::string ini = t.ReadIni();
         t.Save((t.Dir / "elsewhere" / "pgt.csv").string());
         EXPECT_EQ(t.ReadIni(), ini); // another folder chosen: not written
         t.WriteIni("[PGT]\nDataDirectory=" + t.Dir.string() + "/\n");
         t.Save(t.Csv());
         EXPECT_EQ(t.ReadIni(), "[PGT]\nDataDirectory=" + t.Dir.string() + "\n");
         EXPECT_EQ(MainForm->PGT_DataDirectory, t.Dir.string().c_str());
     }},
    {"FullDiskForANewFileThenSaveAgain",
     [](Pgt300Sequence& t) {
         t.Transfer();
         {
             TFullDisk full;
             t.Save(t.Csv(), "Can't write file : ");
         }
         EXPECT_FALSE(fs::exists(t.Csv())); // no header without its row
         EXPECT_TRUE(t.W->BitBtnSaveData->Enabled());
         t.Save(t.Csv());
         EXPECT_EQ(t.Rows(t.Read(t.Csv())), 2u);
     }},
    {"FullDiskForAnExistingFile",
     [](Pgt300Sequence& t) {
         t.Transfer();
         t.Save(t.Csv());
         const std::string before = t.Read(t.Csv());
         {
             TFullDisk full(before.size() + 20);
             t.Save(t.Csv(), "Can't write file : ");
         }
         EXPECT_EQ(t.Read(t.Csv()), before); // no half row
         t.Save(t.Csv());
         EXPECT_EQ(t.Rows(t.Read(t.Csv())), 3u);
     }},
    {"ReadOnlySetupIniCostsNoRow",
     [](Pgt300Sequence& t) {
         t.Transfer();
         const std::string ini = t.ReadOnlySetupIni();
         t.Save(t.Csv(),
                ("The data folder could not be remembered: Unable to write to " + ini).c_str());
         EXPECT_EQ(t.Rows(t.Read(t.Csv())), 2u);
         EXPECT_TRUE(t.W->BitBtnSaveData->Enabled());
     }},
    {"ReadOnlyFolder",
     [](Pgt300Sequence& t) {
         t.Transfer();
         const std::string file = ReadOnlyFolder(t.Dir) + "pgt.csv";
         t.Save(file, "Can't create file : ");
         EXPECT_TRUE(t.W->BitBtnSaveData->Enabled());
         t.Save(t.Csv());
         EXPECT_EQ(t.Rows(t.Read(t.Csv())), 2u);
     }},
};

class Pgt300SequenceTest : public Pgt300Sequence, public ::testing::WithParamInterface<TPgtCase> {};
} // namespace

TEST_P(Pgt300SequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
}

INSTANTIATE_TEST_SUITE_P(Operator, Pgt300SequenceTest, ::testing::ValuesIn(PgtCases),
                         [](const auto& i) { return std::string(i.param.Name); });
