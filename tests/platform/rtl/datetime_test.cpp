#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/settings_guard.h"
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <string>

TEST(DateTime, EncodeDateCountsDaysFrom30Dec1899) {
    const struct {
        int Y, M, D;
        double Days;
    } cases[] = {
        {1899, 12, 30, 0},    {1899, 12, 29, -1},  {1900, 1, 1, 2},    {2000, 1, 1, 36526},
        {2024, 2, 29, 45351}, {1970, 1, 1, 25569}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(double(EncodeDate(c.Y, c.M, c.D)), c.Days) << c.Y << "-" << c.M << "-" << c.D;
        int y, m, d;
        DecodeDate(c.Days, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.Y * 10000 + c.M * 100 + c.D) << c.Days;
    }
}

TEST(DateTime, DecodeInvertsEncodeOverTheCalendar) {
    int expectY = 1800, expectM = 1, expectD = 1;
    for (int day = int(EncodeDate(1800, 1, 1)); day <= int(EncodeDate(2200, 12, 31)); ++day) {
        Word y, m, d;
        DecodeDate(day, y, m, d);
        ASSERT_EQ(y * 10000 + m * 100 + d, expectY * 10000 + expectM * 100 + expectD) << day;
        if (++expectD > DaysInMonth(expectY, expectM)) {
            expectD = 1;
            if (++expectM > 12) expectM = 1, ++expectY;
        }
    }
}

TEST(DateTime, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(2400));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_THROW(DaysInMonth(2023, 13), ERangeError);
    EXPECT_THROW(DaysInMonth(2023, 0), ERangeError);
}

TEST(DateTime, InvalidPartsRaise) {
    const int badDates[][3] = {{2023, 2, 29}, {2023, 13, 1}, {2023, 0, 1}, {0, 1, 1},
                               {10000, 1, 1}, {2023, 4, 31}, {2023, 1, 0}, {2023, 1, -1}};
    for (const auto& b : badDates)
        EXPECT_THROW(EncodeDate(b[0], b[1], b[2]), EConvertError)
            << b[0] << "-" << b[1] << "-" << b[2];
    const int badTimes[][4] = {
        {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& b : badTimes)
        EXPECT_THROW(EncodeTime(b[0], b[1], b[2], b[3]), EConvertError);
    try {
        EncodeDate(2023, 2, 29);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Invalid argument to date encode");
    }
}

TEST(DateTime, TimesRoundToTheMillisecond) {
    EXPECT_EQ(double(EncodeTime(12, 0, 0, 0)), 0.5);
    EXPECT_EQ(double(EncodeTime(6, 0, 0, 0)), 0.25);
    Word h, n, s, ms;
    DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
    // A hair before midnight is the next day at 0:00.
    int y, m, d, hi, ni, si, msi;
    DecodeDate(1 - 1e-12, y, m, d);
    DecodeTime(1 - 1e-12, hi, ni, si, msi);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991231);
    EXPECT_EQ(hi + ni + si + msi, 0);
    // Before the base date the fraction's magnitude is the time of day.
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, hi, ni, si, msi);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(hi, 6);
}

TEST(DateTime, ValuesOutsideTheCalendarDecodeAsZeros) {
    for (double v :
         {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300, -693595.0, 2958466.5}) {
        int y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, ms = 1;
        DecodeDate(v, y, m, d);
        DecodeTime(v, h, n, s, ms);
        EXPECT_EQ(y + m + d + h + n + s + ms, 0) << v;
        EXPECT_EQ(DayOfWeek(v), 0);
        EXPECT_NO_THROW(FormatDateTime("c dddd mmmm", v));
    }
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1970, 1, 1)), 5);   // Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 10)), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);      // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 7) + 0.99), 5);
}

class FormatDateTimeTest : public ::testing::Test {
protected:
    TFormatSettingsGuard Settings;
    // Thursday 7 March 2024, 09:05:03.045
    const TDateTime Morning = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 3, 45);
    const TDateTime Evening = EncodeDate(2024, 3, 7) + EncodeTime(21, 5, 3, 0);
};

TEST_F(FormatDateTimeTest, Tokens) {
    const struct {
        const char* Format;
        TDateTime Value;
        const char* Text;
    } cases[] = {
        {"d dd ddd dddd", Morning, "7 07 Thu Thursday"},
        {"m mm mmm mmmm", Morning, "3 03 Mar March"},
        {"y yy yyy yyyy", Morning, "24 24 2024 2024"},
        {"h hh n nn s ss z zzz", Morning, "9 09 5 05 3 03 45 045"},
        {"hh:mm", Morning, "09:05"},
        {"DD.MM.YYYY HH:NN", Morning, "07.03.2024 09:05"},
        {"hh:nn:ss am/pm", Evening, "09:05:03 pm"},
        {"h:nn AM/PM", Evening, "9:05 PM"},
        {"h a/p", Morning, "9 a"},
        {"hh ampm", Evening, "09 PM"},
        {"h:nn am/pm", EncodeTime(0, 30, 0, 0), "12:30 am"},
        {"h am/pm", EncodeTime(12, 0, 0, 0), "12 pm"},
        {"hh", Evening, "21"},
        {"ddddd|dddddd", Morning, "3/7/2024|Thursday, March 7, 2024"},
        {"t|tt", Morning, "09:05|09:05:03"},
        {"c", Morning, "3/7/2024 09:05:03"},
        {"c", EncodeDate(2024, 3, 7), "3/7/2024"},
        {"", Evening, "3/7/2024 21:05:03"},
        {"'Date:' dd \"mm\" x", Morning, "Date: 07 mm x"},
        {"aaa aaaa", Morning, "Thu Thursday"},
        {"yyyy/mm/dd", Morning, "2024/03/07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, c.Value), c.Text) << c.Format;
}

TEST_F(FormatDateTimeTest, SeparatorsAndStandardTexts) {
    DateSeparator = '.';
    TimeSeparator = '.';
    ShortDateFormat = "dd/mm/yyyy";
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", Morning), "2024.03.07 09.05");
    EXPECT_EQ(DateToStr(Morning), "07.03.2024");
    EXPECT_EQ(TimeToStr(Morning), "09.05.03");
    EXPECT_EQ(DateTimeToStr(Morning), "07.03.2024 09.05.03");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 7)), "07.03.2024");
    EXPECT_EQ(Morning.DateTimeString(), "07.03.2024 09.05.03");
    EXPECT_EQ(Morning.TimeString(), "09.05.03");
    EXPECT_EQ(Morning.FormatString("mmm yy"), "Mar 24");
    AnsiString s;
    DateTimeToString(s, "dddd", Morning);
    EXPECT_EQ(s, "Thursday");
}

TEST_F(FormatDateTimeTest, TwelveHourClockBelongsToTheFormatThatAsksForIt) {
    ShortTimeFormat = "h:nn AMPM";
    LongTimeFormat = "h:nn:ss AMPM";
    EXPECT_EQ(FormatDateTime("t hh", Evening), "9:05 PM 21");
    EXPECT_EQ(FormatDateTime("c hh:mm", Evening), "3/7/2024 9:05:03 PM 21:05");
    EXPECT_EQ(FormatDateTime("hh am/pm hh", Evening), "09 pm 09");
}

TEST_F(FormatDateTimeTest, SelfReferringFormatsEnd) {
    ShortDateFormat = "ddddd";
    LongTimeFormat = "c";
    EXPECT_NO_THROW(DateTimeToStr(Morning));
    EXPECT_EQ(DateToStr(Morning), "");
}

class ClockDateTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        FHadTz = tz != nullptr;
        if (tz) FTz = tz;
    }
    void TearDown() override {
        if (FHadTz)
            setenv("TZ", FTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static void Zone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    TVirtualClockScope Scope; // 1.7e12 ms: 14 Nov 2023 22:13:20 UTC

private:
    bool FHadTz = false;
    std::string FTz;
};

TEST(ClockDate, AClockOutsideTheCalendarGivesNoCrash) {
    for (double epochMs : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        TVirtualClock clock(0, epochMs);
        TClock* previous = SetClock(&clock);
        const double now = Now();
        SetClock(previous);
        EXPECT_TRUE(std::isnan(epochMs) ? std::isnan(now)
                                        : std::isinf(now) || std::fabs(now) > 1e200)
            << epochMs;
        EXPECT_NO_THROW(FormatDateTime("c", now));
    }
}

TEST_F(ClockDateTest, NowComesFromTheClockInLocalTime) {
    Zone("UTC0");
    EXPECT_DOUBLE_EQ(Now(), EncodeDate(2023, 11, 14) + EncodeTime(22, 13, 20, 0));
    Zone("XXX-1"); // one hour east of Greenwich
    EXPECT_DOUBLE_EQ(Now(), EncodeDate(2023, 11, 14) + EncodeTime(23, 13, 20, 0));
    EXPECT_EQ(double(Date()), double(EncodeDate(2023, 11, 14)));
    EXPECT_NEAR(Time(), EncodeTime(23, 13, 20, 0), 1e-9);
    Scope.Clock.Advance(3600000 + 250);
    Word y, m, d, h, n, s, ms;
    DecodeDate(Now(), y, m, d);
    DecodeTime(Now(), h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20231115);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 1320250);
}
