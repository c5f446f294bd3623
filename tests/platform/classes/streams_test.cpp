#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include "support/sanitizers.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qm_streams_XXXXXX";
        Dir = mkdtemp(tmpl);
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    AnsiString Path(const char* name) const { return AnsiString(Dir + "/" + name); }
    static std::string Slurp(const AnsiString& path) {
        std::ifstream in(path.c_str(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Put(const AnsiString& path, const std::string& text) {
        std::ofstream(path.c_str(), std::ios::binary) << text;
    }
    std::string Dir;
};
} // namespace

TEST(MemoryStream, ReadWriteSeekAndGapFill) {
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Seek(-2, soFromEnd), 4);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 2); // a plain read may come back short
    EXPECT_EQ(std::string(buf, 2), "ef");
    m.SetPosition(5);
    try {
        m.ReadBuffer(buf, 2);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Stream read error");
    }
    EXPECT_EQ(m.Seek(-100, soFromCurrent), 0); // held at the start
    m.SetPosition(8);
    m.WriteBuffer("X", 1);
    EXPECT_EQ(m.Size(), 9);
    EXPECT_EQ(static_cast<const char*>(m.Memory())[6], '\0');
    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3);
}

TEST(MemoryStream, GrowingBeyondMemoryRaisesAndKeepsTheData) {
    QM_SKIP_UNDER_ASAN();
    TMemoryStream m;
    TStringStream s;
    for (TStream* stream : {static_cast<TStream*>(&m), static_cast<TStream*>(&s)}) {
        stream->WriteBuffer("abc", 3);
        EXPECT_THROW(stream->SetSize(INT64_MAX), EStreamError);
        stream->Seek(INT64_MAX, soFromBeginning);
        EXPECT_THROW(stream->WriteBuffer("x", 1), EStreamError);
        EXPECT_EQ(stream->Size(), 3);
    }
    EXPECT_EQ(s.DataString(), "abc");
}

TEST(StringStream, DataStringAndCopyFrom) {
    TStringStream s("hello world");
    EXPECT_EQ(s.ReadString(5), "hello");
    s.WriteString("_W");
    EXPECT_EQ(s.DataString(), "hello_World"); // overwrites in place, keeps the rest
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(&s, 0), 11); // 0 copies everything from the start
    s.SetPosition(6);
    EXPECT_EQ(m.CopyFrom(&s, 3), 3);
    EXPECT_EQ(std::string(static_cast<const char*>(m.Memory()), 14), "hello_WorldWor");
    s.SetPosition(9);
    EXPECT_THROW(m.CopyFrom(&s, 5), EReadError);
}

TEST_F(TempDir, CsvFileIsCreatedThenAppendedToUnderAnExclusiveOpen) {
    for (const char* row : {"1;2\r\n", "3;4\r\n"}) {
        if (access(Path("a.csv").c_str(), F_OK) != 0)
            TFileStream(Path("a.csv"), fmCreate).WriteBuffer("a;b\r\n", 5);
        TFileStream f(Path("a.csv"), fmOpenWrite | fmShareExclusive);
        EXPECT_THROW(TFileStream(Path("a.csv"), fmOpenRead), EFOpenError);
        f.Seek(0, soFromEnd);
        f.WriteBuffer(row, 5);
    }
    EXPECT_EQ(Slurp(Path("a.csv")), "a;b\r\n1;2\r\n3;4\r\n");
}

TEST_F(TempDir, FileStreamOpenAndCreateErrorsCarryNameAndReason) {
    try {
        TFileStream f(Path("missing.txt"), fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message,
                  "Cannot open file \"" + Path("missing.txt") + "\". No such file or directory");
    }
    try {
        TFileStream f(Path("no/such/dir.txt"), fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message.Pos("Cannot create file \""), 1);
    }
    EXPECT_THROW(TFileStream(AnsiString(Dir), fmOpenRead), EFOpenError);
}

TEST_F(TempDir, ExclusiveOpenRefusesASecondOpenAndCreateKeepsTheFile) {
    Put(Path("x.txt"), "keep me");
    {
        TFileStream first(Path("x.txt"), fmOpenReadWrite | fmShareExclusive);
        EXPECT_THROW(TFileStream(Path("x.txt"), fmOpenRead | fmShareDenyNone), EFOpenError);
        EXPECT_THROW(TFileStream(Path("x.txt"), fmOpenRead | fmShareDenyWrite), EFOpenError);
        // Refused creation must not have emptied the file first.
        EXPECT_THROW(TFileStream(Path("x.txt"), fmCreate), EFCreateError);
        TMemoryStream m;
        m.WriteBuffer("new", 3);
        EXPECT_THROW(m.SaveToFile(Path("x.txt")), EFCreateError);
    }
    EXPECT_EQ(Slurp(Path("x.txt")), "keep me");
}

TEST_F(TempDir, ReadersDenyingWriteShareButRefuseWriters) {
    Put(Path("r.txt"), "data");
    TFileStream a(Path("r.txt"), fmOpenRead | fmShareDenyWrite);
    TFileStream b(Path("r.txt"), fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(Path("r.txt"), fmOpenWrite), EFOpenError);
    EXPECT_THROW(TFileStream(Path("r.txt"), fmOpenReadWrite | fmShareExclusive), EFOpenError);
}

TEST_F(TempDir, MemoryStreamFileRoundTripKeepsPermissions) {
    Put(Path("m.bin"), "old content that is longer");
    chmod(Path("m.bin").c_str(), 0640);
    TMemoryStream m;
    m.WriteBuffer("new\0bytes", 9);
    m.SaveToFile(Path("m.bin"));
    struct stat st {};
    ASSERT_EQ(stat(Path("m.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    TMemoryStream back;
    back.LoadFromFile(Path("m.bin"));
    EXPECT_EQ(std::string(static_cast<const char*>(back.Memory()), 9),
              std::string("new\0bytes", 9));
    EXPECT_EQ(back.Position(), 0);
    // No temporary files left beside it.
    EXPECT_EQ(std::system(("test $(ls -A '" + Dir + "' | wc -l) -eq 1").c_str()), 0);
}
