#include "platform/rtl/formatsettings.h"
#include "platform/rtl/settings_guard.h"
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {
TLocaleFormats Locale(const char* dec, const char* thou, const char* date, const char* time,
                      const char* ampm = "", const char* am = "", const char* pm = "") {
    return TLocaleFormats{dec, thou, date, time, ampm, am, pm};
}
} // namespace

TEST(FormatSettings, GermanStyleLocale) {
    TFormatSettingsGuard guard;
    ApplyLocaleFormats(Locale(",", ".", "%d.%m.%Y", "%T"));
    EXPECT_EQ(DecimalSeparator, ',');
    EXPECT_EQ(ThousandSeparator, '.');
    EXPECT_EQ(ShortDateFormat, "dd/mm/yyyy");
    EXPECT_EQ(DateSeparator, '.');
    EXPECT_EQ(LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(ShortTimeFormat, "hh:nn");
    EXPECT_EQ(TimeSeparator, ':');
    EXPECT_EQ(TimeAMString, "AM"); // the locale names none
}

TEST(FormatSettings, TwelveHourLocale) {
    TFormatSettingsGuard guard;
    ApplyLocaleFormats(Locale(".", ",", "%m/%d/%Y", "%r", "%I:%M:%S %p", "am", "pm"));
    EXPECT_EQ(ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(LongTimeFormat, "hh:nn:ss ampm");
    EXPECT_EQ(ShortTimeFormat, "hh:nn ampm");
    EXPECT_EQ(TimePMString, "pm");
}

TEST(FormatSettings, SeparatorsTheCodePageCannotHoldOrThatClash) {
    TFormatSettingsGuard guard;
    ApplyLocaleFormats(Locale(",", "\xE2\x80\xAF", "%Y-%m-%d", "%H.%M.%S"));
    EXPECT_EQ(ThousandSeparator, '\xA0'); // narrow no-break space -> no-break space
    EXPECT_EQ(ShortDateFormat, "yyyy/mm/dd");
    EXPECT_EQ(DateSeparator, '-');
    EXPECT_EQ(TimeSeparator, '.');
    EXPECT_EQ(LongTimeFormat, "hh:nn:ss");

    ApplyLocaleFormats(Locale(",", ",", "%e %B %Y", "%H:%M"));
    EXPECT_EQ(ThousandSeparator, '.');
    EXPECT_EQ(ShortDateFormat, "d mmmm yyyy");

    // No usable grouping character, a date in another script, an unknown
    // conversion: the previous settings stay.
    ApplyLocaleFormats(Locale(",", "", "%Y\xE5\xB9\xB4%m\xE6\x9C\x88", "%Ec"));
    EXPECT_EQ(ThousandSeparator, '.');
    EXPECT_EQ(ShortDateFormat, "d mmmm yyyy");
    EXPECT_EQ(LongTimeFormat, "hh:nn");
}

TEST(FormatSettings, FirstDayOfTheWeek) {
    struct Case {
        int Base, First, Want;
    };
    // 30 Nov 1997 is a Sunday, 1 Dec 1997 a Monday, 29 Feb 2000 a Tuesday.
    const Case cases[] = {{19971130, 1, 6}, {19971130, 2, 0}, {19971130, 7, 5}, {19971201, 1, 0},
                          {20000229, 1, 1}, {20000229, 6, 6}, {0, 0, 0},        {19971130, 0, 0},
                          {19971130, 8, 0}, {19971332, 1, 0}, {19970231, 2, 0}};
    for (const Case& c : cases) {
        TLocaleFormats f;
        f.WeekBaseDate = c.Base;
        f.FirstWeekday = c.First;
        EXPECT_EQ(FirstDayOfWeekOf(f), c.Want) << c.Base << " " << c.First;
    }
}

TEST(FormatSettings, ReadingTheUserLocaleLeavesTheProcessLocaleAlone) {
    TFormatSettingsGuard guard;
    const char* previous = std::getenv("LC_ALL");
    const std::string saved = previous ? previous : "";
    const std::string before = std::setlocale(LC_ALL, nullptr);
    setenv("LC_ALL", "C", 1);
    GetFormatSettings();
    EXPECT_EQ(std::string(std::setlocale(LC_ALL, nullptr)), before);
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(ShortDateFormat, "mm/dd/yy");
    EXPECT_EQ(LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(FirstDayOfWeek, 6); // the C locale's weeks start on Sunday
    // A locale that is not installed falls back to "C" rather than failing.
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(ReadLocaleFormats().DecimalPoint, ".");
    if (previous)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
