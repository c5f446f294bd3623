#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/settings_guard.h"
#include <cstdint>
#include <gtest/gtest.h>

class FormatTest : public ::testing::Test {
protected:
    TFormatSettingsGuard Settings{'.', ','};
};

TEST_F(FormatTest, IntegersWidthsAndPrecisions) {
    EXPECT_EQ(Format("%d %s", {3, "abc"}), "3 abc");
    EXPECT_EQ(Format("%5d|%-5d|%.3d", {42, 42, -5}), "   42|42   |-005");
    EXPECT_EQ(Format("%04d/%02d/%02d\t%02d:%02d", {2024, 3, 7, 9, 5}), "2024/03/07\t09:05");
    EXPECT_EQ(Format("%03d", {-5}), "-05");
    EXPECT_EQ(Format("%x %.4x %X", {255, 255, 171}), "FF 00FF AB");
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {int64_t(-1)}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%d", {uint32_t(4000000000u)}), "4000000000");
    EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
    EXPECT_EQ(Format("%d bytes", {size_t(1024)}), "1024 bytes");
}

TEST_F(FormatTest, Floats) {
    EXPECT_EQ(Format("%f", {1234.5}), "1234.50");
    EXPECT_EQ(Format("%.1f|%.0f|%.2f", {0.25, 2.5, -0.001}), "0.3|3|0.00");
    EXPECT_EQ(Format("%8.2f|%-8.2f|", {3.14159, 3.14159}), "    3.14|3.14    |");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {1234.5}), "1.23E+003");
    EXPECT_EQ(Format("%g|%g", {1234.5, 1e20}), "1234.5|1E020");
    EXPECT_EQ(Format("%m", {-2.5}), "($2.50)");
    EXPECT_EQ(Format("%.1f", {7}), "7.0"); // integers are taken as floats
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    EXPECT_EQ(Format("%.2f %n", {1.5, 1234.0}), "1,50 1.234,00");
}

TEST_F(FormatTest, StringsPercentStarsAndIndexes) {
    EXPECT_EQ(Format("%s|%.2s|%-6s|%6s", {'x', "abcdef", "ab", AnsiString("ab")}),
              "x|ab|ab    |    ab");
    EXPECT_EQ(Format("%s\rof %s", {"12", std::string("30")}), "12\rof 30");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%*d|%-*d|%.*f", {5, 42, 4, 7, 1, 2.25}), "   42|7   |2.3");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(Format("no args", std::vector<TVarRec>{}), "no args");
}

TEST_F(FormatTest, BadFormatsAndArgumentsRaise) {
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%s", {3}), EConvertError);
    EXPECT_THROW(Format("%f", {"x"}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%5:d", {1}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("50%", {}), EConvertError);
    EXPECT_THROW(Format("%99999999999d", {1}), EConvertError);
    try {
        Format("%d", {"x"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
}
