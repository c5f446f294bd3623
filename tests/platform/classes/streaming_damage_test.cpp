#include "streaming_fuzz_harness.h"
#include "platform/rtl/sysutils.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}
std::string Short(const std::string& s) {
    return static_cast<char>(s.size()) + s;
}
std::string Stream(const std::string& Props, const std::string& Children = "") {
    return "TPF0" + Short("TFxPanel") + Short("P") + Props + Bytes({0}) + Children + Bytes({0});
}

AnsiString ReadError(const std::string& Binary) {
    try {
        LoadBinary(Binary, [](const AnsiString&) { return true; });
    } catch (const EReadError& e) {
        return e.Message;
    }
    return "no error";
}

} // namespace

TEST(StreamingDamage, TruncationAtEveryOffsetRaisesReadError) {
    auto tree = MakeSampleTree();
    const std::string binary = SaveBinary(tree.get());
    for (size_t n = 0; n < binary.size(); ++n) {
        const std::string part = binary.substr(0, n);
        EXPECT_THROW(LoadBinary(part), EReadError) << n;
        EXPECT_THROW(LoadBinary(part, [](const AnsiString&) { return true; }), EReadError) << n;
        EXPECT_THROW(BinaryToText(part), EReadError) << n;
    }
    const std::string text = BinaryToText(binary);
    for (size_t n = 0; n + 2 < text.size(); ++n)
        EXPECT_THROW(TextToBinary(text.substr(0, n)), EReadError) << n;
}

TEST(StreamingDamage, LengthsBeyondTheEndAreRefusedBeforeAllocating) {
    struct Case {
        const char* What;
        std::string Value;
    };
    const std::vector<Case> cases = {
        {"long string", Bytes({vaLString, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"negative long string", Bytes({vaLString, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"wide string", Bytes({vaWString, 0x00, 0x00, 0x00, 0x40, 'a'})},
        {"utf-8 string", Bytes({vaUTF8String, 0x10, 0x00, 0x00, 0x00, 'a'})},
        {"binary", Bytes({vaBinary, 0xF0, 0xFF, 0xFF, 0x7F, 1, 2})},
        {"short string", Bytes({vaString, 200, 'a'})},
        {"identifier", Bytes({vaIdent, 50, 'a'})},
    };
    for (const Case& c : cases) {
        const std::string binary = Stream(Short("Caption") + c.Value);
        EXPECT_NE(ReadError(binary).Pos("Invalid stream format"), 0)
            << c.What << ": " << ReadError(binary);
        EXPECT_THROW(BinaryToText(binary), EReadError) << c.What;
    }
    EXPECT_EQ(ReadError(Stream(Short("Caption") + Bytes({vaLString, 0xFF, 0xFF, 0xFF, 0x7F}))),
              "Invalid stream format: length 2147483647 exceeds the 2 bytes left");
}

TEST(StreamingDamage, UnknownTagsSignaturesClassesAndFlagsRaise) {
    for (int tag = vaUTF8String + 1; tag < 256; ++tag)
        EXPECT_EQ(ReadError(Stream(Short("Width") + Bytes({tag}))),
                  "Invalid stream format: unknown value type " + IntToStr(tag));
    EXPECT_EQ(ReadError("TPF1" + Stream("").substr(4)), "Invalid stream format");
    EXPECT_EQ(ReadError(Stream("", "\x0cTNoSuchClass" + Short("X") + Bytes({0, 0}))),
              "Class TNoSuchClass not found");
    EXPECT_EQ(ReadError(Stream("", Short("TFxHidden") + Short("X") + Bytes({0, 0}))),
              "Class TFxHidden not found");
    EXPECT_EQ(ReadError(Stream("", Bytes({0xF8}) + Short("TFxPanel") + Short("X") + Bytes({0, 0}))),
              "Invalid stream format: unknown component flags");
    EXPECT_EQ(ReadError(Stream("", Short("TFxPanel") + Short("1x") + Bytes({0, 0}))),
              "'1x' is not a valid component name");
    EXPECT_EQ(ReadError(Stream("", Short("TFxPanel") + Short("A") + Bytes({0, 0}) +
                                       Short("TFxPanel") + Short("A") + Bytes({0, 0}))),
              "A component named A already exists");
}

TEST(StreamingDamage, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    const std::string lists(100000, static_cast<char>(vaList));
    EXPECT_EQ(ReadError(Stream(Short("Nothing") + lists)),
              "Invalid stream format: nested too deep");
    EXPECT_THROW(BinaryToText(Stream(Short("V") + lists)), EReadError);

    std::string children;
    for (int i = 0; i < 5000; ++i)
        children += Short("TFxPanel") + Short("") + Bytes({0});
    EXPECT_EQ(ReadError(Stream("", children)), "Invalid stream format: nested too deep");

    EXPECT_THROW(TextToBinary("object X: T\n V = " + std::string(100000, '(')), EReadError);
    std::string objects;
    for (int i = 0; i < 5000; ++i)
        objects += "object T\n";
    EXPECT_THROW(TextToBinary(objects), EReadError);
}

TEST(StreamingDamage, EveryFlippedByteLoadsOrRaisesReadError) {
    auto tree = MakeSampleTree();
    const std::string binary = SaveBinary(tree.get());
    for (size_t i = 0; i < binary.size(); ++i) {
        for (int x : {0x01, 0x80, 0xFF}) {
            std::string damaged = binary;
            damaged[i] = static_cast<char>(damaged[i] ^ x);
            streaming_fuzz::Binary(reinterpret_cast<const uint8_t*>(damaged.data()),
                                   damaged.size());
        }
    }
    const std::string text = BinaryToText(binary);
    for (size_t i = 0; i < text.size(); i += 3) {
        std::string damaged = text;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x20);
        streaming_fuzz::Text(reinterpret_cast<const uint8_t*>(damaged.data()), damaged.size());
    }
}

// Inputs the fuzzers found worth keeping, replayed through the same checks.
TEST(StreamingDamage, FuzzCorpusReplaysWithoutFaults) {
    namespace fs = std::filesystem;
    const fs::path root = QM_STREAMING_CORPUS;
    int files = 0;
    for (const char* kind : {"binary", "text"}) {
        ASSERT_TRUE(fs::is_directory(root / kind)) << (root / kind);
        for (const auto& entry : fs::directory_iterator(root / kind)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string data((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            const auto* p = reinterpret_cast<const uint8_t*>(data.data());
            if (std::string(kind) == "binary")
                streaming_fuzz::Binary(p, data.size());
            else
                streaming_fuzz::Text(p, data.size());
            ++files;
        }
    }
    EXPECT_GT(files, 10);
}
