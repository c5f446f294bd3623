#include "comm/seriell.h"
#include "fake_host.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/streams.h"
#include "platform/rtl/formatsettings.h"
#include "support/cpm_sim.h"
#include "support/full_disk.h"
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

namespace {
using S = TCpmSimulator;

std::string ReadAll(const AnsiString& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

class StoredFilesTest : public InstrumentTest<TCpmSimulator> {
protected:
    StoredFilesTest() {
        Host.IniPath = Temp.File("SETUP.INI");
        Host.DataDirectory = Temp.Folder();
        Host.OnReadIdentity = [this] {
            Cpm._struct_setup[0] = "V6.10";
            Cpm._struct_setup[1] = "12345678";
            Cpm._struct_setup[2] = "01-05-2024";
        };
        SavedDecimal = DecimalSeparator;
        DecimalSeparator = '.';
    }
    ~StoredFilesTest() override { DecimalSeparator = SavedDecimal; }
    std::vector<std::string> NumbersAsked() const {
        // The frames after each "r3" carry the file number.
        std::vector<std::string> numbers;
        const std::string all = Sim.Received();
        for (size_t at = all.find("\x02r3\x03"); at != std::string::npos;
             at = all.find("\x02r3\x03", at + 1))
            numbers.push_back(all.substr(at + 5, 2));
        return numbers;
    }
    TTempFolder Temp;
    C_CPM_EF Cpm;
    TStoredReplies Replies;
    char SavedDecimal;
};
} // namespace

TEST_F(StoredFilesTest, ReadsTheRangeUntilTheEndOfTheStoredFiles) {
    Sim.Change([&] {
        Sim.StoredFiles[3] = S::StoredFile(3, 16, 300, 1000, 60, 23, 123, 100);
        Sim.StoredFiles[4] = S::StoredFile(4, 33, 500, 100, 0, 11, 0, 0);
        Sim.StoredFiles[5] = S::StoredFile(5, 50, 500, 100, 0, 0, 12, 0);
    });
    int last = 5, count = -1;
    EXPECT_EQ(Cpm.ReadStoredFile(3, last, Replies, count), TCpmResult::Ok);
    EXPECT_EQ(NumbersAsked(), (std::vector<std::string>{"03", "04", "05"}));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(Replies[4], S::StoredFile(4, 33, 500, 100, 0, 11, 0, 0).c_str());
    EXPECT_EQ(Host.MemoFontSize, 12);
    ASSERT_EQ(Host.Memo.size(), 3u);
    EXPECT_EQ(Host.Memo[0], "Reading file no. : 03  value : " + Replies[3]);
    // The read-out setup went first.
    EXPECT_EQ(Sim.SetupPayload(), "010000003209010101");

    Sim.Change([&] { Sim.StoredFiles.erase(4); });
    last = 5;
    EXPECT_EQ(Cpm.ReadStoredFile(3, last, Replies, count), TCpmResult::EndOfFiles);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(last, 3);
}

TEST_F(StoredFilesTest, NothingStoredAndRefusedRanges) {
    int last = 4, count = 0;
    EXPECT_EQ(Cpm.ReadStoredFile(2, last, Replies, count), TCpmResult::NothingStored);
    EXPECT_EQ(count, 1);
    for (auto range : {std::pair{0, 100}, std::pair{-1, 5}, std::pair{7, 3}}) {
        Sim.ClearLog();
        last = range.second;
        EXPECT_EQ(Cpm.ReadStoredFile(range.first, last, Replies, count), TCpmResult::NothingStored);
        EXPECT_EQ(Sim.Received(), "");
    }
}

TEST_F(StoredFilesTest, HandshakeAndLineFailuresGiveTheirCodes) {
    Sim.Change([&] {
        Sim.StoredFiles[1] = S::StoredFile(1, 16, 1, 2, 3, 4, 5, 6);
        Sim.StoredFiles[2] = S::StoredFile(2, 16, 1, 2, 3, 4, 5, 6);
    });
    int last = 2, count = 0;
    // The set-up's enquiry is answered, the file requests' are not.
    Sim.RefuseFromEnquiry = 2;
    EXPECT_EQ(Cpm.ReadStoredFile(1, last, Replies, count), TCpmResult::NoAck);
    EXPECT_EQ(Sim.Enquiries(), 3); // every remaining file still asks
    EXPECT_TRUE(NumbersAsked().empty());
    Sim.RefuseFromEnquiry = 0;
    Sim.SetFault(TSerialSimulator::Silent);
    EXPECT_EQ(Cpm.ReadStoredFile(1, last, Replies, count), TCpmResult::ReadFailed);
    Sim.SetFault(TSerialSimulator::None);
    Sim.Change([&] { Sim.StoredFiles[2] = "0210"; }); // cut off
    last = 2;
    EXPECT_EQ(Cpm.ReadStoredFile(1, last, Replies, count), TCpmResult::EndOfFiles);
    EXPECT_EQ(count, 1);
}

TEST_F(StoredFilesTest, ResultFileGetsItsHeaderOnceAndOneRowPerSave) {
    Host.SaveAs = Temp.File("result.csv");
    Cpm._struct_setup = {"V6.10", "12345678", "01-05-2024", "0", "0", "0", "0", "33"};
    EXPECT_EQ(Cpm.SaveResult(1000, 100, 20, 2.25, 12.3, -5.0, "first; line\r\ntwo"),
              TCpmResult::Ok);
    EXPECT_EQ(Cpm.SaveResult(900, 50, 0, 1.0, 0.0, 0.0, ""), TCpmResult::Ok);
    const std::string text = ReadAll(Host.SaveAs);
    const std::string header =
        "Date;Time;CPM-Mode;Start (V);Stop (V);Offset (sec);Decay time pos.(sec.);"
        "Decay time neg.(sec.);Offset (V);Comment\r\n"
        "Device: V6.10;Serial No.: 12345678;Cal.Date: 01-05-2024\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    std::istringstream rows(text.substr(header.size()));
    std::string row1, row2, none;
    std::getline(rows, row1);
    std::getline(rows, row2);
    EXPECT_FALSE(std::getline(rows, none));
    EXPECT_NE(row1.find(";Pos.;1000;100;20;2.3;12.3;-5.0;first, line  two\r"), std::string::npos)
        << row1;
    EXPECT_NE(row2.find(";Pos.;900;50;0;1.0;0.0;0.0;\r"), std::string::npos) << row2;
    EXPECT_EQ(Host.DialogFolders.front(), Temp.Folder());
}

TEST_F(StoredFilesTest, CancelAndCreateFailure) {
    Host.SaveAs = "";
    EXPECT_EQ(Cpm.SaveResult(1, 2, 3, 4, 5, 6, ""), TCpmResult::SaveCancelled);
    EXPECT_EQ(Cpm.CreateStoredFilesCsv(Host.SaveAs), TCpmResult::CsvCancelled);
    Host.SaveAs = Temp.File("missing/dir/x.csv");
    EXPECT_EQ(Cpm.SaveResult(1, 2, 3, 4, 5, 6, ""), TCpmResult::Failed);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "Can't create file : " + Host.SaveAs);
    EXPECT_EQ(Host.Boxes[0].Caption, "Error");
}

TEST_F(StoredFilesTest, ChosenFolderIsRememberedInTheSetupFile) {
    Host.SaveAs = Temp.File("sub/x.csv");
    std::filesystem::create_directories(Temp.File("sub").c_str());
    EXPECT_EQ(Cpm.SaveResult(1, 2, 3, 4, 5, 6, ""), TCpmResult::Ok);
    TIniFile ini(Host.IniPath);
    EXPECT_EQ(ini.ReadString("CPM", "DataDirectory", ""), Temp.File("sub/"));
    EXPECT_EQ(Host.DataDirectory, Temp.Folder()); // the result save leaves the field
    Host.SaveAs = Temp.File("sub/stored.csv");
    AnsiString name;
    EXPECT_EQ(Cpm.CreateStoredFilesCsv(name), TCpmResult::Ok);
    EXPECT_EQ(name, Host.SaveAs);
    EXPECT_EQ(Host.DataDirectory, Temp.File("sub/")); // the stored-files save updates it
}

TEST_F(StoredFilesTest, StoredFilesCsvAndItsRows) {
    Host.SaveAs = Temp.File("stored.csv");
    AnsiString name;
    EXPECT_EQ(Cpm.CreateStoredFilesCsv(name), TCpmResult::Ok);
    EXPECT_EQ(Host.IdentityReads, 1);
    EXPECT_EQ(Cpm.CreateStoredFilesCsv(name), TCpmResult::Ok); // exists: no identity, no header
    EXPECT_EQ(Host.IdentityReads, 1);
    const struct {
        const char* file;
        const char* expect;
    } rows[] = {
        {"05212C01E8033C0017007B006400", ";5;Pos.;300;1000;60;2.3;0.0;100.0;c5\r\n"},
        {"06322C01E8033C0017007B006480", ";6;Neg.;300;1000;60;0.0;12.3;-100.0;c6\r\n"},
        {"07102C01E8033C0017007B006400", ";7;Auto;300;1000;60;2.3;12.3;100.0;c7\r\n"},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(Cpm.DecodeStoredFile(r.file), TCpmResult::Ok);
        Cpm._struct_results.Comment =
            ("c" + std::to_string(Cpm._struct_results.FileNumber)).c_str();
        EXPECT_EQ(Cpm.AppendStoredFileRow(name), TCpmResult::Ok);
    }
    const std::string text = ReadAll(name);
    EXPECT_EQ(text.find("Date;Time;File no.;CPM-Mode;Start (V)"), 0u);
    EXPECT_NE(text.find("\r\nDevice: V6.10;Serial No.: 12345678;Cal.Date: 01-05-2024\r\n"),
              std::string::npos);
    for (const auto& r : rows)
        EXPECT_NE(text.find(r.expect), std::string::npos) << r.expect;
    // Short texts and the end mark are no stored file and change nothing.
    // Neither is another request's late reply, nor anything but 28 hex digits.
    for (const char* bad : {"", "0510", "00FF000000000000000000000000",
                            "CPM 690  V6.10  12345678010524", "05102C01E8033C0017007B00640",
                            "05102C01E8033C0017007B0064000", "0510 C01E8033C0017007B006400"})
        EXPECT_EQ(Cpm.DecodeStoredFile(bad), TCpmResult::Failed) << bad;
    EXPECT_EQ(Cpm._struct_results.FileNumber, 7);
}

TEST_F(StoredFilesTest, RowForAFileHeldByAnotherProgramOffersRetry) {
    Host.SaveAs = Temp.File("held.csv");
    AnsiString name;
    ASSERT_EQ(Cpm.CreateStoredFilesCsv(name), TCpmResult::Ok);
    ASSERT_EQ(Cpm.DecodeStoredFile("05102C01E8033C0017007B006400"), TCpmResult::Ok);
    auto holder = std::make_unique<TFileStream>(name, fmOpenRead | fmShareExclusive);
    Host.Answers = {crCancel};
    EXPECT_EQ(Cpm.AppendStoredFileRow(name), TCpmResult::Failed);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text,
              "Can't save data! Is data file " + name + " open with another program ?");
    EXPECT_EQ(Host.Boxes[0].Buttons, cbRetryCancel);
    EXPECT_EQ(Host.Boxes[0].Icon, ciStop);
    // Retry after the other program let go.
    Host.Answers = {crRetry};
    Host.Boxes.clear();
    Host.OnBox = [&] { holder.reset(); };
    const size_t before = ReadAll(name).size();
    EXPECT_EQ(Cpm.AppendStoredFileRow(name), TCpmResult::Ok);
    EXPECT_EQ(Host.Boxes.size(), 1u);
    EXPECT_GT(ReadAll(name).size(), before);
    Host.OnBox = nullptr;
    // A result save into a held file raises the stream's open error.
    auto again = std::make_unique<TFileStream>(name, fmOpenRead | fmShareExclusive);
    Host.SaveAs = name;
    EXPECT_THROW(Cpm.SaveResult(1, 2, 3, 4, 5, 6, ""), EFOpenError);
}

// A kill in the middle of a row leaves it torn; the next save's row starts on
// a line of its own in the result file and in the stored files' file alike.
TEST_F(StoredFilesTest, RowAfterARowTornByAKillStartsOnALineOfItsOwn) {
    Cpm._struct_setup = {"V6.10", "12345678", "01-05-2024", "0", "0", "0", "0", "33"};
    ASSERT_EQ(Cpm.DecodeStoredFile("05212C01E8033C0017007B006400"), TCpmResult::Ok);
    const std::string torn = "Date;Time;CPM-Mode\r\n01.02.2024;10:00:00;Pos.;10";
    const struct {
        const char* File;
        std::function<TCpmResult(const AnsiString&)> Save;
        const char* Row; // how the new row ends
    } saves[] = {
        {"result.csv",
         [&](const AnsiString& Name) {
             Host.SaveAs = Name;
             return Cpm.SaveResult(900, 50, 0, 1.0, 0.0, 0.0, "after");
         },
         ";Pos.;900;50;0;1.0;0.0;0.0;after\r\n"},
        {"stored.csv", [&](const AnsiString& Name) { return Cpm.AppendStoredFileRow(Name); },
         ";5;Pos.;300;1000;60;2.3;0.0;100.0;\r\n"},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.File);
        const AnsiString name = Temp.File(save.File);
        std::ofstream(name.c_str(), std::ios::binary) << torn;
        ASSERT_EQ(save.Save(name), TCpmResult::Ok);
        const std::string text = ReadAll(name);
        ASSERT_EQ(text.substr(0, torn.size() + 2), torn + "\r\n");
        const std::string row = text.substr(torn.size() + 2), end = save.Row;
        EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 1) << row;
        ASSERT_GT(row.size(), end.size());
        EXPECT_EQ(row.substr(row.size() - end.size()), end);
    }
}

TEST(CpmFiles, ExtractDirectoryKeepsTheLastDelimiter) {
    const struct {
        const char* path;
        const char* dir;
    } cases[] = {
        {"C:\\data\\x.csv", "C:\\data\\"},
        {"/home/u/x.csv", "/home/u/"},
        {"x.csv", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(C_CPM_EF::ExtractDirectory(c.path), c.dir) << c.path;
}

TEST_F(StoredFilesTest, UnwritableSetupFileCostsNoFileAndIsToldOnce) {
    // A system-wide install: the program's folder takes no file.
    Host.IniPath = (ReadOnlyFolder(Temp.Folder().c_str()) + "SETUP.INI").c_str();
    AnsiString stored;
    const struct {
        const char* Folder;
        std::function<TCpmResult()> Save;
    } saves[] = {
        {"a", [&] { return Cpm.SaveResult(1000, 100, 20, 2.3, 1.2, 5.0, "kept"); }},
        {"b", [&] { return Cpm.CreateStoredFilesCsv(stored); }},
    };
    for (const auto& s : saves) {
        std::filesystem::create_directories(Temp.File(s.Folder).c_str());
        Host.SaveAs = Temp.File(std::string(s.Folder) + "/data.csv");
        Host.Boxes.clear();
        EXPECT_EQ(s.Save(), TCpmResult::Ok) << s.Folder;
        EXPECT_EQ(ReadAll(Host.SaveAs).substr(0, 10), "Date;Time;") << s.Folder;
        ASSERT_EQ(Host.Boxes.size(), 1u) << s.Folder;
        EXPECT_EQ(Host.Boxes[0].Text,
                  "The data folder could not be remembered: Unable to write to " + Host.IniPath);
        EXPECT_EQ(Host.Boxes[0].Caption, "SETUP.INI");
    }
    EXPECT_NE(ReadAll(Temp.File("a/data.csv")).find(";kept\r\n"), std::string::npos);
    EXPECT_EQ(Host.DataDirectory, Temp.File("b/")); // kept for this session at least
}
