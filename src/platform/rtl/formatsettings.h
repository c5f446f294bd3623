#pragma once
// Number and date format settings used by the conversions of the run-time
// library. Read once from the user's locale at start (GetFormatSettings);
// tests and callers may set them directly.
#include "platform/rtl/ansistring.h"
#include <string>

extern char DecimalSeparator;
extern char ThousandSeparator;
extern AnsiString CurrencyString;
extern int CurrencyFormat; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
extern int NegCurrFormat;  // 0..15, 0 is "($1)", 1 is "-$1" (the platform's patterns)
extern int CurrencyDecimals;

extern char DateSeparator; // what "/" in a date format stands for
extern char TimeSeparator; // what ":" in a date format stands for
extern AnsiString ShortDateFormat;
extern AnsiString LongDateFormat;
extern AnsiString ShortTimeFormat;
extern AnsiString LongTimeFormat;
extern AnsiString TimeAMString;
extern AnsiString TimePMString;
// The first day of a calendar week: 0 Monday .. 6 Sunday.
extern int FirstDayOfWeek;

// Month and day names, indexed 1..12 and 1..7 (1 is Sunday); entry 0 stays
// empty. English until the locale gives names Windows-1252 can write.
extern AnsiString ShortMonthNames[13];
extern AnsiString LongMonthNames[13];
extern AnsiString ShortDayNames[8];
extern AnsiString LongDayNames[8];

// What a C library locale says, in its own terms: separators as bytes of the
// locale's code set, date and time formats as strftime patterns.
struct TLocaleFormats {
    std::string DecimalPoint;
    std::string ThousandsSep;
    std::string DateFormat;     // d_fmt, e.g. "%d.%m.%Y"
    std::string TimeFormat;     // t_fmt, e.g. "%H:%M:%S"
    std::string TimeFormatAmPm; // t_fmt_ampm, what "%r" stands for
    std::string AmText;
    std::string PmText;
    // The week: WeekBaseDate (yyyymmdd) is the locale's day 1 of its weekday
    // numbers, FirstWeekday the number (1..7) of the day a week starts with.
    // 0 when the locale does not say.
    int WeekBaseDate = 0;
    int FirstWeekday = 0;
    // Names in the locale's code set: months from January, days from Sunday.
    std::string CodeSet; // e.g. "UTF-8"; empty is ASCII
    std::string ShortMonths[12];
    std::string LongMonths[12];
    std::string ShortDays[7];
    std::string LongDays[7];
};

// The locale's first day of the week, 0 Monday .. 6 Sunday; 0 when it does not
// say or says something that is no date.
int FirstDayOfWeekOf(const TLocaleFormats& formats);

// The user's locale from the environment. Reads a private locale object, so
// the process's own C locale is never changed. Falls back to "C".
TLocaleFormats ReadLocaleFormats();
// Sets the globals above from a locale's formats; a part that cannot be
// expressed keeps its default.
void ApplyLocaleFormats(const TLocaleFormats& formats);
// Restores the defaults and applies the user's locale (done once at start).
void GetFormatSettings();
