#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/settings_guard.h"
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

namespace {
// A locale's names as the C library gives them, in its code set.
TLocaleFormats Names(const char* CodeSet, std::vector<std::string> ShortMonths,
                     std::vector<std::string> LongMonths, std::vector<std::string> ShortDays,
                     std::vector<std::string> LongDays) {
    TLocaleFormats f = Locale(".", ",", "%d.%m.%Y", "%T");
    f.CodeSet = CodeSet;
    for (size_t i = 0; i < 12; ++i) {
        f.ShortMonths[i] = ShortMonths.at(i);
        f.LongMonths[i] = LongMonths.at(i);
    }
    for (size_t i = 0; i < 7; ++i) {
        f.ShortDays[i] = ShortDays.at(i);
        f.LongDays[i] = LongDays.at(i);
    }
    return f;
}
} // namespace

TEST(FormatSettings, DayAndMonthNamesComeFromTheLocaleInTheCodePage) {
    TFormatSettingsGuard guard;
    const std::vector<std::string> longDays = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                               "Donnerstag", "Freitag", "Samstag"};
    const std::vector<std::string> shortDays = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    ApplyLocaleFormats(Names(
        "UTF-8",
        {"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
        {"Januar", "Februar", "M\xC3\xA4rz", "April", "Mai", "Juni", "Juli", "August", "September",
         "Oktober", "November", "Dezember"},
        shortDays, longDays));
    const TDateTime monday = EncodeDate(2026, 3, 2);
    EXPECT_EQ(FormatDateTime("dddd d. mmmm yyyy", monday), "Montag 2. M\xE4rz 2026");
    EXPECT_EQ(FormatDateTime("ddd d mmm", monday), "Mo 2 M\xE4r");
    EXPECT_EQ(LongMonthNames[12], "Dezember");
    EXPECT_EQ(ShortDayNames[7], "Sa");

    // Another code set, the same bytes in the end.
    ApplyLocaleFormats(
        Names("ISO-8859-1",
              {"janv.", "f\xE9vr.", "mars", "avr.", "mai", "juin", "juil.", "ao\xFBt", "sept.",
               "oct.", "nov.",
               "d\xE9"
               "c."},
              {"janvier", "f\xE9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xFBt",
               "septembre", "octobre", "novembre",
               "d\xE9"
               "cembre"},
              {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."},
              {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"}));
    EXPECT_EQ(FormatDateTime("dddd d mmmm", EncodeDate(2026, 2, 2)), "lundi 2 f\xE9vrier");
    EXPECT_EQ(ShortMonthNames[12], "d\xE9"
                                   "c.");

    // Names the code page cannot write, or a set with a gap, leave that set as it was.
    ApplyLocaleFormats(Names("UTF-8",
                             {"\xCE\x99\xCE\xB1\xCE\xBD", "Feb", "Mar", "Apr", "May", "Jun", "Jul",
                              "Aug", "Sep", "Oct", "Nov", "Dec"},
                             {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ""},
                             {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"},
                             {"\xD0\x92\xD0\xBE\xD1\x81", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(ShortMonthNames[12], "d\xE9"
                                   "c.");
    EXPECT_EQ(LongMonthNames[1], "janvier");
    EXPECT_EQ(ShortDayNames[3], "Tu");
    EXPECT_EQ(LongDayNames[1], "dimanche");
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
    LongMonthNames[3] = "M\xE4rz";
    GetFormatSettings();
    EXPECT_EQ(LongMonthNames[3], "March");
    EXPECT_EQ(ShortDayNames[2], "Mon");
    const TLocaleFormats c = ReadLocaleFormats();
    EXPECT_EQ(c.LongMonths[2], "March");
    EXPECT_EQ(c.ShortDays[6], "Sat");
    EXPECT_FALSE(c.CodeSet.empty());
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
