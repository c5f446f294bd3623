#include "chart/engine/teeexport.h"
#include "platform/classes/streams.h"
#include "platform/graphics/clipbrd.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {
class TFixedExport : public TTeeExportData {
public:
    explicit TFixedExport(AnsiString AText) : Text(std::move(AText)) {}
    AnsiString AsString() override {
        if (Fail) throw Exception("export failed");
        return Text;
    }
    AnsiString Text;
    bool Fail = false;
};

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() /
            ("qm_export_" + std::to_string(getpid()) + "_" + Name))
        .string();
}

std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

TEST(TeeExportData, StreamGetsExactlyTheBytes) {
    TFixedExport e(AnsiString("a;b\r\n\xB0", 6));
    TMemoryStream s;
    s.WriteBuffer("xy", 2);
    e.SaveToStream(&s);
    ASSERT_EQ(s.Size(), 8);
    EXPECT_EQ(std::string(static_cast<const char*>(s.Memory()), 8), std::string("xya;b\r\n\xB0"));
}

TEST(TeeExportData, FileIsReplacedWholeAndOnlyByAFinishedExport) {
    const std::string path = TempPath("data.txt");
    TFixedExport e("short");
    {
        std::ofstream out(path, std::ios::binary);
        out << "a much longer old content";
    }
    e.SaveToFile(path.c_str());
    EXPECT_EQ(ReadFile(path), "short");
    e.Fail = true;
    EXPECT_THROW(e.SaveToFile(path.c_str()), Exception);
    EXPECT_EQ(ReadFile(path), "short");
    e.Fail = false;
    e.Text = "";
    e.SaveToFile(path.c_str());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    std::remove(path.c_str());
    EXPECT_THROW(e.SaveToFile("/nonexistent-folder/x/data.txt"), EFCreateError);
}

TEST(TeeExportData, ClipboardTakesTheText) {
    TFixedExport e("one;two");
    e.CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "one;two");
    e.Text = "";
    e.CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "");
}
