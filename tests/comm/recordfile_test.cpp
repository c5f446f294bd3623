// The record writer of every CSV, comment and result file: a heading only in a
// new file, whole contents or nothing on a full disk, and the failures named.
#include "comm/recordfile.h"
#include "fake_host.h"
#include "platform/classes/streams.h"
#include "platform/win32/kernel.h"
#include "support/full_disk.h"
#include <fstream>
#include <memory>
#include <sstream>

namespace {
std::string ReadAll(const AnsiString& File) {
    std::ifstream in(File.c_str(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

enum class TSetting { Room, FullDisk, Held, ReadOnlyFolder };

struct TRecordCase {
    const char* Name;
    const char* Before; // nullptr: no file yet
    TSetting Setting;
    TRecordWrite Result;
    const char* After; // nullptr: no file left
    int Written;
};

const TRecordCase RecordCases[] = {
    {"NewFileTakesHeadingAndRow", nullptr, TSetting::Room, TRecordWrite::Written, "H\r\nrow\r\n",
     8},
    {"ExistingFileTakesTheRowOnly", "H\r\nold\r\n", TSetting::Room, TRecordWrite::Written,
     "H\r\nold\r\nrow\r\n", 5},
    // A row torn by a kill stays one broken row: the next starts on a line of its own.
    {"RowAfterATornRowStartsOnItsOwnLine", "H\r\nha", TSetting::Room, TRecordWrite::Written,
     "H\r\nha\r\nrow\r\n", 5},
    {"RowAfterAHalfLineBreakCompletesIt", "H\r\nold\r", TSetting::Room, TRecordWrite::Written,
     "H\r\nold\r\nrow\r\n", 5},
    {"EmptyFileTakesTheRowOnly", "", TSetting::Room, TRecordWrite::Written, "row\r\n", 5},
    {"FullDiskAfterATornRowLeavesItAsItWas", "H\r\nha", TSetting::FullDisk, TRecordWrite::Short,
     "H\r\nha", 0},
    // The disk takes six bytes: the half content is taken back.
    {"FullDiskLeavesNoNewFile", nullptr, TSetting::FullDisk, TRecordWrite::Short, nullptr, 6},
    {"FullDiskLeavesTheOldContent", "H\r\n", TSetting::FullDisk, TRecordWrite::Short, "H\r\n", 3},
    {"HeldFileIsNotOpened", "H\r\n", TSetting::Held, TRecordWrite::NotOpened, "H\r\n", 0},
    {"RefusingFolderMakesNoFile", nullptr, TSetting::ReadOnlyFolder, TRecordWrite::NotCreated,
     nullptr, 0},
};

void PrintTo(const TRecordCase& c, std::ostream* os) {
    *os << c.Name;
}

class RecordFileTest : public ::testing::TestWithParam<TRecordCase> {
protected:
    TTempFolder Temp;
};
} // namespace

TEST_P(RecordFileTest, WritesAllOrNothing) {
    const TRecordCase& c = GetParam();
    AnsiString name = Temp.File("data.csv");
    if (c.Setting == TSetting::ReadOnlyFolder)
        name = (ReadOnlyFolder(Temp.Folder().c_str()) + "data.csv").c_str();
    if (c.Before) std::ofstream(name.c_str(), std::ios::binary) << c.Before;
    std::unique_ptr<TFileStream> holder;
    if (c.Setting == TSetting::Held)
        holder = std::make_unique<TFileStream>(name, fmOpenRead | fmShareExclusive);

    TRecordFile file(name);
    EXPECT_EQ(file.IsNew(), c.Before == nullptr);
    file.AddHeading("H\r\n");
    file.Add("row\r\n");
    TRecordWrite result;
    {
        std::unique_ptr<TFullDisk> full;
        if (c.Setting == TSetting::FullDisk) full = std::make_unique<TFullDisk>(6);
        result = file.Write();
    }
    holder.reset();
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(file.Written(), c.Written);
    EXPECT_EQ(file.Error().IsEmpty(),
              c.Result != TRecordWrite::NotCreated && c.Result != TRecordWrite::NotOpened);
    EXPECT_EQ(FileExists(name), c.After != nullptr);
    if (c.After) EXPECT_EQ(ReadAll(name), c.After);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordFileTest, ::testing::ValuesIn(RecordCases),
                         [](const auto& i) { return std::string(i.param.Name); });

TEST(CsvText, KeepsAFieldOneFieldOfOneRow) {
    EXPECT_EQ(CsvText("a;b\r\nc"), "a,b  c");
    EXPECT_EQ(CsvText(""), "");
}
