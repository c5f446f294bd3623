#include "comm/seriell.h"
#include <gtest/gtest.h>

TEST(SeriellConversions, HexToIntCountsOnlyUpperCaseDigits) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"FF", 255}, {"ff", 0}, {"1G", 16}, {"", 0}, {"0510", 0x510}, {"7FFF", 0x7FFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexToInt(c.text), c.value) << c.text;
}

TEST(SeriellConversions, HexWordIsLowByteFirstAndSigned) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"3412", 0x1234}, {"FFFF", -1}, {"0080", -32768}, {"2C01", 300}, {"FF7F", 32767},
    };
    for (const auto& c : cases) {
        int v = 99;
        HexWordToInt(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(SeriellConversions, HexToBitsIsMostSignificantFirst) {
    EXPECT_EQ(C_CPM_EF::HexToBits("04"), "00000100");
    EXPECT_EQ(C_CPM_EF::HexToBits("21"), "00100001");
    EXPECT_EQ(C_CPM_EF::HexToBits("FF"), "11111111");
}
