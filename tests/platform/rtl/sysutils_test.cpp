#include "platform/rtl/settings_guard.h"
#include "platform/rtl/sysutils.h"
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace {
struct TParseCase {
    const char* Text;
    bool Ok;
    double Value;
};
} // namespace

TEST(SysUtils, StrToFloatWithPointDecimal) {
    TFormatSettingsGuard settings('.', ',');
    const TParseCase cases[] = {
        {"1.5", true, 1.5},        {" -2.25 ", true, -2.25}, {"+3", true, 3},
        {".5", true, 0.5},         {"5.", true, 5},          {"1e3", true, 1000},
        {"-1.5E-2", true, -0.015}, {"1e-400", true, 0},      {"1,5", false, 0},
        {"1,000.5", false, 0},     {"", false, 0},           {"-", false, 0},
        {"1e", false, 0},          {"1e400", false, 0},      {"0x10", false, 0},
        {"INF", false, 0},         {"nan", false, 0},        {"1.5x", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(TryStrToFloat(c.Text, v), c.Ok) << c.Text;
        if (c.Ok) {
            EXPECT_DOUBLE_EQ(v, c.Value) << c.Text;
        }
    }
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
    EXPECT_EQ(StrToFloatDef("abc", 2.5), 2.5);
}

TEST(SysUtils, BlanksAroundNumbers) {
    TFormatSettingsGuard settings('.', ',');
    const struct {
        const char* Text;
        bool Int, Float;
    } cases[] = {
        {"  12", true, true},   {"12  ", false, true},   {" 12 ", false, true},
        {"\t12", false, false}, {"12\r", false, false},  {"1 2", false, false},
        {" $1F", true, false},  {"0x1F ", false, false},
    };
    for (const auto& c : cases) {
        int i = 0;
        double d = 0;
        EXPECT_EQ(TryStrToInt(c.Text, i), c.Int) << c.Text;
        EXPECT_EQ(TryStrToFloat(c.Text, d), c.Float) << c.Text;
    }
    EXPECT_THROW(StrToInt("7 "), EConvertError);
}

TEST(SysUtils, IntToHexShowsTheBitsOfTheValuesOwnWidth) {
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), "1234");
    EXPECT_EQ(IntToHex(uint8_t(0xAB), 2), "AB");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-2), 2), "FFFFFFFFFFFFFFFE");
    EXPECT_EQ(IntToHex(uint64_t(1) << 40, 2), "10000000000");
}

TEST(SysUtils, StrToFloatWithCommaDecimal) {
    TFormatSettingsGuard settings(',', '.');
    EXPECT_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_EQ(StrToFloat("-0,512"), -0.512);
    EXPECT_EQ(StrToFloat("2,5E3"), 2500);
    EXPECT_EQ(StrToFloatDef("1.5", -1), -1);
    EXPECT_EQ(StrToFloatDef("1.000,5", -1), -1);
    EXPECT_EQ(AnsiString("3,25").ToDouble(), 3.25);
}

TEST(SysUtils, FloatTextReadsBackUnderTheSameSettings) {
    TFormatSettingsGuard settings(',', '.');
    for (double v : {0.1, -123.456, 1e-7, 6.02214076e23, 1.0 / 3.0, -2.5e-300})
        EXPECT_NEAR(StrToFloat(FloatToStr(v)), v, std::abs(v) * 1e-14) << v;
}
