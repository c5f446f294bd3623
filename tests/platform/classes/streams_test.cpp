#include "platform/classes/streams.h"
#include "platform/classes/filenames.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/exceptions.h"
#include "support/sanitizers.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
class TempDir : public ::testing::Test {
protected:
    void SetUp() override { Dir = MakeTempFolder("qm_streams_"); }
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

// ---- Saving over a file when the write fails or the saver is killed

namespace {
// A folder that refuses new files, even to a superuser (who loses the right to
// override permissions for the scope).
class TRefusingFolder {
public:
    explicit TRefusingFolder(const std::string& Dir) : FDir(Dir) {
        ::chmod(FDir.c_str(), 0555);
        FHeader.version = _LINUX_CAPABILITY_VERSION_3;
        if (::geteuid() == 0 && syscall(SYS_capget, &FHeader, FSaved) == 0) {
            __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
            reduced[0].effective &=
                ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
            FDropped = syscall(SYS_capset, &FHeader, reduced) == 0;
        }
        const std::string probe = FDir + "/probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        Refuses = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
        }
    }
    ~TRefusingFolder() {
        if (FDropped) syscall(SYS_capset, &FHeader, FSaved);
        ::chmod(FDir.c_str(), 0755);
    }
    bool Refuses = false;

private:
    std::string FDir;
    __user_cap_header_struct FHeader{};
    __user_cap_data_struct FSaved[2]{};
    bool FDropped = false;
};

// A file size limit, as a full disk would stop a write (without the signal).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes) {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit limited = FOld;
        limited.rlim_cur = Bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int);
};

std::string Entries(const std::string& Dir) {
    std::string out;
    if (DIR* d = ::opendir(Dir.c_str())) {
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        ::closedir(d);
        std::sort(names.begin(), names.end());
        for (const std::string& n : names)
            out += n + " ";
    }
    return out;
}
} // namespace

TEST_F(TempDir, SaveOverAFileLeavesItWholeWhenTheDiskIsFull) {
    const struct {
        const char* Name;
        bool RefusingFolder;
        int64_t NewSize;
        rlim_t Limit; // 0: none
        bool Saved;
    } cases[] = {
        {"in place, no room", true, 20000, 16000, false},
        {"in place, growing", true, 20000, 0, true},
        {"in place, shrinking", true, 3000, 0, true},
        {"beside it, no room", false, 20000, 16000, false},
        {"beside it, growing", false, 20000, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const AnsiString file = Path("chart.tee");
        const std::string old(12000, 'o');
        Put(file, old);
        const std::string fresh(static_cast<size_t>(c.NewSize), 'n');
        std::string error;
        {
            std::unique_ptr<TRefusingFolder> folder;
            if (c.RefusingFolder) {
                folder = std::make_unique<TRefusingFolder>(Dir);
                ASSERT_TRUE(folder->Refuses) << "cannot make a folder refuse new files here";
            }
            std::unique_ptr<TFileSizeLimit> limit;
            if (c.Limit) limit = std::make_unique<TFileSizeLimit>(c.Limit);
            try {
                SaveFileReplacing(file, fresh.data(), c.NewSize);
            } catch (const EFCreateError& e) {
                error = e.Message.c_str();
            }
        }
        const std::string now = Slurp(file);
        EXPECT_TRUE(now == (c.Saved ? fresh : old))
            << now.size() << " bytes, " << std::count(now.begin(), now.end(), 'n') << " new";
        EXPECT_EQ(error.empty(), c.Saved) << error;
        if (!c.Saved) {
            EXPECT_NE(error.find(file.c_str()), std::string::npos) << error;
        }
        EXPECT_EQ(Entries(Dir), "chart.tee ");
    }
}

// A save killed half-way leaves the old file and its temporary; the next save
// of that file clears the temporaries whose process is gone, and only those.
TEST_F(TempDir, KilledSaveLeavesTheOldFileAndTheNextSaveClearsItsTemporary) {
    const AnsiString file = Path("decay.tee");
    const std::string old(1 << 20, 'o'), fresh(8 << 20, 'n');
    Put(file, old);
    bool leftOne = false;
    for (int attempt = 0; attempt < 20 && !leftOne; ++attempt) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                for (;;)
                    SaveFileReplacing(file, fresh.data(), static_cast<int64_t>(fresh.size()));
            } catch (...) {
            }
            ::_exit(1);
        }
        for (int wait = 0; wait < 20000 && Entries(Dir).find(".tmp") == std::string::npos; ++wait)
            ::usleep(100);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = Slurp(file);
        EXPECT_TRUE(now == old || now == fresh) << "torn: " << now.size() << " bytes";
        leftOne = Entries(Dir).find(".tmp") != std::string::npos;
    }
    ASSERT_TRUE(leftOne);
    // Temporaries that are not stale ones of this file stay.
    const std::string live = ".decay.tee.tmp" + std::to_string(::getppid()) + "_1";
    const std::string own = ".decay.tee.tmp" + std::to_string(::getpid()) + "_9";
    std::vector<std::string> kept = {live, own, ".decay.tee.tmpx_1", ".other.tee.tmp1_1",
                                     "decay.tee.tmp"};
    for (const std::string& keep : kept)
        Put(Path(keep.c_str()), "keep");
    SaveFileReplacing(file, "saved", 5);
    EXPECT_EQ(Slurp(file), "saved");
    kept.push_back("decay.tee");
    std::sort(kept.begin(), kept.end());
    std::string expected;
    for (const std::string& n : kept)
        expected += n + " ";
    EXPECT_EQ(Entries(Dir), expected);
}

// Names of 255 bytes, the longest the folder takes, some of them from
// Windows-1252 letters that take two or three bytes each on the system. The
// temporary beside such a file must stay short: every writer saves over it,
// and the next save clears what a killed one left under its short name.
TEST_F(TempDir, EveryWriterSavesOverAFileWithTheLongestName) {
    const struct {
        const char* Kind;
        AnsiString Name;      // Windows-1252
        size_t KeptOfTheName; // bytes of the system's name a temporary keeps
    } names[] = {
        {"ASCII", AnsiString(std::string(251, 'a') + ".tee"), 32},
        {"umlauts", AnsiString("x" + std::string(125, '\xE4') + ".csv"), 31},
        {"euro signs", AnsiString("a" + std::string(83, '\x80') + "b.ini"), 31},
    };
    const struct {
        const char* Kind;
        std::function<void(const AnsiString&)> Save;
        const char* Content;
    } writers[] = {
        {"memory stream",
         [](const AnsiString& f) {
             TMemoryStream m;
             m.WriteBuffer("new", 3);
             m.SaveToFile(f);
         },
         "new"},
        {"string list",
         [](const AnsiString& f) {
             TStringList l;
             l.Add("new");
             l.SaveToFile(f);
         },
         "new\r\n"},
        {"settings file", [](const AnsiString& f) { TIniFile(f).WriteString("CPM", "Port", "3"); },
         "old\r\n\r\n[CPM]\r\nPort=3\r\n"}, // other lines kept
    };
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    for (const auto& n : names) {
        const std::string system = SystemFileName(n.Name);
        ASSERT_EQ(system.size(), 255u) << n.Kind;
        const AnsiString file = AnsiString(Dir + "/") + n.Name;
        const std::string stale =
            "." + system.substr(0, n.KeptOfTheName) + ".tmp" + std::to_string(gone) + "_0";
        for (const auto& w : writers) {
            SCOPED_TRACE(std::string(n.Kind) + ", " + w.Kind);
            Put(AnsiString(Dir + "/" + system), "old");
            Put(AnsiString(Dir + "/" + stale), "left by a killed save");
            try {
                w.Save(file);
            } catch (const EFCreateError& e) {
                ADD_FAILURE() << e.Message.c_str();
            }
            EXPECT_EQ(Slurp(AnsiString(Dir + "/" + system)), w.Content);
            EXPECT_EQ(Entries(Dir), system + " ");
            ::unlink((Dir + "/" + system).c_str());
        }
    }
}
