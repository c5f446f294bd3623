#include "comm/ipc_conv.h"
#include "platform/rtl/exceptions.h"
#include <gtest/gtest.h>

TEST(IpcConv, NtocWritesExactlyTheDigitsAsked) {
    const struct {
        double value;
        int base, digits;
        const char* text;
    } cases[] = {
        {5, 2, 8, "00000101"}, {255, 16, 2, "FF"}, {0, 16, 4, "0000"}, {35, 36, 1, "Z"},
        {4660, 16, 4, "1234"}, {300, 16, 2, "C"}, // the leading digit that does not fit is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(NTOC(c.value, c.base, c.digits), c.text) << c.value << " base " << c.base;
    EXPECT_THROW(NTOC(-1, 16, 2), ERangeError);
}

TEST(IpcConv, CtonIsTheInverseAndCountsUnknownCharactersAsMinusOne) {
    EXPECT_EQ(CTON("FF", 16), 255);
    EXPECT_EQ(CTON("00000101", 2), 5);
    EXPECT_EQ(CTON("", 16), 0);
    EXPECT_EQ(CTON("f", 16), -1);
    EXPECT_EQ(CTON("1f", 16), 15);
    EXPECT_NEAR(POWER(16, 3), 4096, 1e-9); // via e^(ln b * x): callers round it
    EXPECT_EQ(POWER(0, 3), 0);
}

TEST(IpcConv, HexAndAsciiRoundTripEveryByte) {
    EXPECT_EQ(HEX_ASCII("414243"), "ABC");
    EXPECT_EQ(ASCII_HEX("ABC"), "414243");
    EXPECT_EQ(HEX_ASCII("4142F"), AnsiString("AB\x0F"));
    AnsiString all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(ASCII_HEX(all).Length(), 512);
    EXPECT_EQ(HEX_ASCII(ASCII_HEX(all)), all);
}

TEST(IpcConv, PackedAsciiPacksFourCharactersIntoThreeBytes) {
    EXPECT_EQ(ASCII_to_Packed("ABCD"), "0420C4");
    EXPECT_EQ(Packed_to_ASCII("0420C4"), "ABCD");
    EXPECT_EQ(ASCII_to_Packed("AB"), "042820"); // padded with blanks
    EXPECT_EQ(Packed_to_ASCII("042820"), "AB  ");
    EXPECT_EQ(Packed_to_ASCII(ASCII_to_Packed("12:9")), "12:9");
    EXPECT_EQ(Packed_to_ASCII("0420C"), "-1");
    EXPECT_THROW(Packed_to_ASCII("0g20C4"), ERangeError);
}

TEST(IpcConv, KompHartNrCompressesOrRefuses) {
    AnsiString out = "x";
    EXPECT_TRUE(Komp_Hart_Nr("O12345", out));
    EXPECT_EQ(out, "");
    // A counts 10 (01010), then 1 (0001), then 2345 in 15 bits.
    EXPECT_FALSE(Komp_Hart_Nr("A12345", out));
    EXPECT_EQ(out, "50A345");
    // C follows the excluded B, so it counts as 11.
    EXPECT_FALSE(Komp_Hart_Nr("C0000099", out));
    EXPECT_EQ(out, "580000");
    EXPECT_THROW(Komp_Hart_Nr("#00000", out), ERangeError);
}
