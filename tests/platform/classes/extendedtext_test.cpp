// Extended text against the C library's own 80-bit long double conversions,
// which are correctly rounded and independent of ours.
#include "platform/classes/extendedtext.h"
#include "platform/classes/filer.h"
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace {

struct TExt {
    uint8_t B[10];
    bool operator==(const TExt& O) const { return std::memcmp(B, O.B, 10) == 0; }
};

TExt Ext(uint16_t SignExp, uint64_t Mant) {
    TExt e;
    std::memcpy(e.B, &Mant, 8);
    std::memcpy(e.B + 8, &SignExp, 2);
    return e;
}

::testing::AssertionResult HasLongDouble() {
    if (std::numeric_limits<long double>::digits == 64) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "long double is not the 10-byte extended here";
}

TExt ByCLibrary(const std::string& Text) {
    const long double v = std::strtold(Text.c_str(), nullptr);
    TExt e;
    std::memcpy(e.B, &v, 10);
    return e;
}

TExt Parsed(const std::string& Text) {
    TExt e;
    if (!DecimalToExtended(Text, e.B)) ADD_FAILURE() << "refused: " << Text;
    return e;
}

std::string Hex(const TExt& E) {
    uint64_t m;
    uint16_t se;
    std::memcpy(&m, E.B, 8);
    std::memcpy(&se, E.B + 8, 2);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04X.%016llX", se, static_cast<unsigned long long>(m));
    return buf;
}

} // namespace

TEST(ExtendedText, EveryFiniteValueReadsBackAsTheSameBytes) {
    if (!HasLongDouble()) GTEST_SKIP() << HasLongDouble().message();
    std::mt19937_64 rng(12);
    for (int i = 0; i < 2000; ++i) {
        // Whole exponent range, denormals (exponent 0) included; canonical encodings only.
        const uint16_t exp = static_cast<uint16_t>(i % 30 == 0 ? 0 : rng() % 0x7FFF);
        uint64_t mant = rng();
        mant = exp == 0 ? mant >> (1 + rng() % 63) : mant | (uint64_t(1) << 63);
        const TExt e = Ext(static_cast<uint16_t>(exp | (rng() & 1) << 15), mant);
        const std::string text = ExtendedToText(e.B);
        ASSERT_EQ(Parsed(text), e) << Hex(e) << " " << text;
        ASSERT_EQ(ByCLibrary(text), e) << Hex(e) << " " << text;
    }
}

TEST(ExtendedText, LongDecimalsRoundToTheNearestExtendedHalfToEven) {
    if (!HasLongDouble()) GTEST_SKIP() << HasLongDouble().message();
    // Exact halfway points: 1 + 2^-64 lies between 1 and its even neighbour below,
    // 1 + 3 * 2^-64 between two neighbours of which the upper is even.
    const std::string tie1 = "1.0000000000000000000542101086242752217003726400434970855712890625";
    const std::string tie3 = "1.0000000000000000001626303258728256651011179201304912567138671875";
    EXPECT_EQ(Parsed(tie1), Ext(0x3FFF, 0x8000000000000000));
    EXPECT_EQ(Parsed(tie1 + "1"), Ext(0x3FFF, 0x8000000000000001));
    EXPECT_EQ(Parsed(tie3), Ext(0x3FFF, 0x8000000000000002));
    EXPECT_EQ(Parsed("-" + tie3.substr(0, tie3.size() - 1) + "4"), Ext(0xBFFF, 0x8000000000000001));
    std::mt19937_64 rng(7);
    for (int i = 0; i < 5000; ++i) {
        std::string text = std::to_string(1 + rng() % 9) + ".";
        const int digits = 18 + static_cast<int>(rng() % 30);
        for (int k = 0; k < digits; ++k)
            text += static_cast<char>('0' + rng() % 10);
        text += "E" + std::to_string(static_cast<int>(rng() % 9860) - 4950);
        ASSERT_EQ(Parsed(text), ByCLibrary(text)) << text;
    }
}

TEST(ExtendedText, ShortDecimalsReadThroughTheDoubleAsTheyAlwaysDid) {
    const char* const texts[] = {"0.1", "0.30000000000000004", "1E20", "-2.5", "5E-324"};
    for (const char* t : texts) {
        TExt viaDouble;
        DoubleToExtended(std::strtod(t, nullptr), viaDouble.B);
        EXPECT_EQ(Parsed(t), viaDouble) << t;
        EXPECT_EQ(ExtendedToText(viaDouble.B), t);
    }
    // The same value written with more digits is an extended's text.
    EXPECT_EQ(Parsed("0.100000000000000000"), Ext(0x3FFB, 0xCCCCCCCCCCCCCCCD));
    EXPECT_EQ(ExtendedToText(Ext(0x3FFB, 0xCCCCCCCCCCCCCCCD).B), "0.100000000000000000");
}

TEST(ExtendedText, OutOfRangeAndOverlongNumbersAreRefused) {
    uint8_t out[10];
    const std::string refused[] = {"1.18973149535723176509E4932", // just above the largest extended
                                   "1.00000000000000000000E-4960", "1E400", "1e", "1.5x", "", "-",
                                   "1." + std::string(12001, '1')};
    for (const std::string& t : refused)
        EXPECT_FALSE(DecimalToExtended(t, out)) << t.substr(0, 40);
    EXPECT_EQ(Parsed("1.18973149535723176502E4932"), Ext(0x7FFE, ~uint64_t(0)));
}
