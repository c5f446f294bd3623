#include "platform/rtl/floatformat.h"
#include "platform/rtl/settings_guard.h"
#include <gtest/gtest.h>
#include <limits>

namespace {
struct TFloatCase {
    double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Text;
};

class FloatToStrFTest : public ::testing::Test {
protected:
    TFormatSettingsGuard Settings{'.', ','};
};
} // namespace

TEST_F(FloatToStrFTest, FixedRoundsHalvesAwayFromZero) {
    const TFloatCase cases[] = {
        {0.125, ffFixed, 15, 2, "0.13"},
        {2.5, ffFixed, 15, 0, "3"},
        {-2.5, ffFixed, 15, 0, "-3"},
        {0.5, ffFixed, 15, 0, "1"},
        {-0.005, ffFixed, 15, 2, "-0.01"},
        // The 15 digits a double holds decide: 1.005 is 1.00499999999999989...
        {1.005, ffFixed, 15, 2, "1.01"},
        {0.35, ffFixed, 15, 1, "0.4"},
        {123.45, ffFixed, 5, 1, "123.5"},
        {12.3, ffFixed, 4, 2, "12.30"},
        {7, ffFixed, 15, 3, "7.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Text) << c.Value;
}

TEST_F(FloatToStrFTest, ValuesRoundingToZeroNeverShowAMinus) {
    EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(-0.004999, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(-0.4, ffFixed, 15, 0), "0");
    EXPECT_EQ(FloatToStrF(-0.0, ffFixed, 15, 1), "0.0");
    EXPECT_EQ(FloatToStrF(-0.001, ffNumber, 15, 1), "0.0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
}

TEST_F(FloatToStrFTest, PrecisionLimitsSignificantDigitsOfTheFixedForms) {
    // Four significant digits, padded to the decimals asked for.
    EXPECT_EQ(FloatToStrF(123.456, ffFixed, 4, 2), "123.50");
    // More integer digits than the precision: general form instead.
    EXPECT_EQ(FloatToStrF(12345.6, ffFixed, 4, 2), "1.235E04");
    EXPECT_EQ(FloatToStrF(-99999, ffFixed, 4, 0), "-1E5");
    EXPECT_EQ(FloatToStrF(9999.4, ffFixed, 4, 0), "9999");
}

TEST_F(FloatToStrFTest, PrecisionBelowTwoCountsAsTwo) {
    EXPECT_EQ(FloatToStrF(1.5, ffGeneral, 1, 0), "1.5");
    EXPECT_EQ(FloatToStrF(-5, ffExponent, 1, 0), "-5.0E+0");
    EXPECT_EQ(FloatToStrF(1.25, ffFixed, 0, 1), "1.3");
    EXPECT_EQ(FloatToStrF(123, ffFixed, 1, 0), "1.2E2");
}

TEST_F(FloatToStrFTest, GeneralForm) {
    const TFloatCase cases[] = {
        {1234.5, ffGeneral, 15, 0, "1234.5"},
        {100, ffGeneral, 15, 0, "100"},
        {1e15, ffGeneral, 15, 0, "1E15"},
        {123456789012345, ffGeneral, 15, 0, "123456789012345"},
        {0.0001, ffGeneral, 15, 0, "0.0001"},
        {0.00001, ffGeneral, 15, 0, "1E-5"},
        {-1.5e-7, ffGeneral, 15, 2, "-1.5E-07"},
        {0.1 + 0.2, ffGeneral, 15, 0, "0.3"},
        {2.0 / 3.0, ffGeneral, 15, 0, "0.666666666666667"},
        {2000, ffGeneral, 4, 0, "2000"},
        {20000, ffGeneral, 4, 0, "2E4"},
        {1.23456, ffGeneral, 3, 0, "1.23"},
        {0, ffGeneral, 15, 0, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Text) << c.Value;
}

TEST_F(FloatToStrFTest, ExponentNumberAndCurrencyForms) {
    const TFloatCase cases[] = {
        {1234.5, ffExponent, 4, 2, "1.235E+03"},
        {0.000123, ffExponent, 3, 0, "1.23E-4"},
        {0, ffExponent, 4, 2, "0.000E+00"},
        {-5, ffExponent, 2, 0, "-5.0E+0"},
        {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
        {-1234.5, ffNumber, 15, 0, "-1,235"},
        {999.5, ffNumber, 15, 0, "1,000"},
        {0, ffNumber, 15, 2, "0.00"},
        {1234.5, ffCurrency, 15, 2, "$1,234.50"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Text) << c.Value;
}

TEST_F(FloatToStrFTest, CommaDecimalSettings) {
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    CurrencyString = "DM";
    CurrencyFormat = 3;
    NegCurrFormat = 8;
    EXPECT_EQ(FloatToStr(1234.5), "1234,5");
    EXPECT_EQ(FloatToStr(-1.5e-10), "-1,5E-10");
    EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1.234.567,89");
    EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2), "1.234,50 DM");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "-1.234,50 DM");
    NegCurrFormat = 99; // outside the table: the nearest pattern, not a stray read
    EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 0), "(1 DM)");
}

TEST_F(FloatToStrFTest, SpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStrF(inf, ffFixed, 15, 2), "INF");
    EXPECT_EQ(FloatToStrF(-inf, ffNumber, 15, 2), "-INF");
    EXPECT_EQ(FormatFloat("0.00", -inf), "-INF");
    EXPECT_EQ(FloatToStr(1e308), "1E308");
    EXPECT_EQ(FloatToStr(5e-324), "4.94065645841247E-324");
    EXPECT_EQ(AnsiString(0.25), "0.25");
}

namespace {
struct TPictureCase {
    const char* Format;
    double Value;
    const char* Text;
};
} // namespace

class FormatFloatTest : public ::testing::Test {
protected:
    void Check(const TPictureCase* begin, const TPictureCase* end) {
        for (auto c = begin; c != end; ++c)
            EXPECT_EQ(FormatFloat(c->Format, c->Value), c->Text)
                << "format \"" << c->Format << "\" value " << c->Value;
    }
    TFormatSettingsGuard Settings{'.', ','};
};

TEST_F(FormatFloatTest, ThePlatformsTable) {
    const TPictureCase cases[] = {
        {"", 1234, "1234"},
        {"", -1234, "-1234"},
        {"", 0.5, "0.5"},
        {"", 0, "0"},
        {"0", 1234, "1234"},
        {"0", -1234, "-1234"},
        {"0", 0.5, "1"},
        {"0", 0, "0"},
        {"0.00", 1234, "1234.00"},
        {"0.00", -1234, "-1234.00"},
        {"0.00", 0.5, "0.50"},
        {"0.00", 0, "0.00"},
        {"#.##", 1234, "1234"},
        {"#.##", -1234, "-1234"},
        {"#.##", 0.5, ".5"},
        {"#.##", 0, ""},
        {"#,##0.00", 1234, "1,234.00"},
        {"#,##0.00", -1234, "-1,234.00"},
        {"#,##0.00", 0.5, "0.50"},
        {"#,##0.00", 0, "0.00"},
        {"#,##0.00;(#,##0.00)", 1234, "1,234.00"},
        {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
        {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
        {"#,##0.00;(#,##0.00)", 0, "0.00"},
        {"#,##0.00;;Zero", 1234, "1,234.00"},
        {"#,##0.00;;Zero", -1234, "-1,234.00"},
        {"#,##0.00;;Zero", 0.5, "0.50"},
        {"#,##0.00;;Zero", 0, "Zero"},
        {"0.000E+00", 1234, "1.234E+03"},
        {"0.000E+00", -1234, "-1.234E+03"},
        {"0.000E+00", 0.5, "5.000E-01"},
        {"0.000E+00", 0, "0.000E+00"},
        {"#.###E-0", 1234, "1.234E3"},
        {"#.###E-0", -1234, "-1.234E3"},
        {"#.###E-0", 0.5, "5E-1"},
        {"#.###E-0", 0, "0E0"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FormatFloatTest, AxisLabelsAndGrouping) {
    const TPictureCase cases[] = {
        {"#,##0.###", 1234.5678, "1,234.568"},
        {"#,##0.###", 1234567, "1,234,567"},
        {"#,##0.###", 0.001, "0.001"},
        {"#,##0.###", -0.5, "-0.5"},
        {"#,##0.###", 0, "0"},
        {"#,##0", 1234567.5, "1,234,568"},
        {"#,##0", 999.5, "1,000"},
        {"#,##0", 12, "12"},
        {"0,000", 5, "0,005"},
        {"000", 7, "007"},
        {"00.00", 1.5, "01.50"},
        {".00", 12.5, "12.50"},
        {"0.0", 0.25, "0.3"},
        {"0.0", 0.35, "0.4"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FormatFloatTest, ZeroSectionAndNegativesRoundingToZero) {
    const TPictureCase cases[] = {
        // A negative value in a format without a negative section never reads "-0".
        {"#,##0.###", -0.0001, "0"},
        {"0.00", -0.001, "0.00"},
        {"0.00", -0.005, "-0.01"},
        // Rounding to zero picks the zero section.
        {"0.00;-0.00;zero", -0.001, "zero"},
        {"0.00;-0.00;zero", 0.001, "zero"},
        {"0.00;-0.00;zero", -2.25, "-2.25"},
        {"0.0;(0.0)", -2.25, "(2.3)"},
        // An empty negative section falls back to the positive one with a sign.
        {"0.0;;nil", -2.25, "-2.3"},
        {"0.0;;nil", 0, "nil"},
        {"0.0;;", 0, "0.0"},
        // A fourth section is ignored.
        {"0;(0);z;x", 0, "z"},
        // An empty positive section: the general form, sign included.
        {";(0)", 5, "5"},
        {";;z", -2.5, "-2.5"},
        {";(0)", -5, "(5)"},
        {";(0);", 0, "0"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FormatFloatTest, LiteralsAndExponents) {
    const TPictureCase cases[] = {
        {"'Value: '0.0\" V\"", 12.34, "Value: 12.3 V"},
        {"0.0' #0;'", 1, "1.0 #0;"},
        {"000\" \"000", 12345, "012 345"},
        {"0.0 %", 12.34, "12.3 %"},
        {"0.00E+00", 0.000123, "1.23E-04"},
        {"00.0E+0", 1234, "12.3E+2"},
        {"0.0e-00", 1234, "1.2e03"},
        {"0E+0", 0.00096, "1E-3"},
        {"0.00E+00000", 1234, "1.23E+0003"}, // four exponent digits at most
        // The separator goes out with the first decimal digit.
        {"0.'x'00", 1.25, "1x.25"},
        {"0.'x'##", 3, "3x"},
        // Far beyond the picture: the general form rather than 300 digits,
        // whatever section the sign chose.
        {"0", 1e300, "1E300"},
        {"#,##0.00", 1e20, "1E20"},
        {"#,##0.00", -1e20, "-1E20"},
        {"0;(0)", -1e20, "-1E20"},
        // The log-axis format and the value formats the editors offer.
        {"#.0 \"x10\" E+0", 1234, "1.2 x10 E+3"},
        {"#.0 \"x10\" E+0", -0.00123, "-1.2 x10 E-3"},
        {"00e-0", 1234, "12e2"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FormatFloatTest, FollowsTheSeparatorSettings) {
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", -1234567.891), "-1.234.567,89");
    EXPECT_EQ(FormatFloat("0.000E+00", 0.5), "5,000E-01");
    EXPECT_EQ(FormatFloat("", 0.5), "0,5");
}
