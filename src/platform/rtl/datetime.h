#pragma once
// Dates and times. A TDateTime counts days since 30 Dec 1899; its fraction is
// the time of day. Encoding and decoding (proleptic Gregorian calendar, years
// 1..9999), the clock's current date and time in the local time zone, and
// text in the platform's date-time format letters.
#include "platform/rtl/ansistring.h"
#include "platform/rtl/formatsettings.h"

using Word = unsigned short;

class TDateTime {
public:
    constexpr TDateTime() = default;
    constexpr TDateTime(double days) : Val(days) {}
    constexpr operator double() const { return Val; }
    TDateTime& operator+=(double days) {
        Val += days;
        return *this;
    }
    TDateTime& operator-=(double days) {
        Val -= days;
        return *this;
    }

    AnsiString DateString() const;     // DateToStr
    AnsiString TimeString() const;     // TimeToStr
    AnsiString DateTimeString() const; // DateTimeToStr
    AnsiString FormatString(const AnsiString& format) const;

    double Val = 0;
};

bool IsLeapYear(int year);
// Raises ERangeError for a month outside 1..12.
int DaysInMonth(int year, int month);

// Raise EConvertError for a part out of range (year 1..9999, hour 0..23...).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);

// Times round to the nearest millisecond. A value outside 1 Jan 0001 ..
// 31 Dec 9999 (or not a number) decodes as all zeros.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 (Sunday) .. 7 (Saturday); 0 outside the calendar.
int DayOfWeek(TDateTime date);

// From the clock in use (clock.h), in the local time zone.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Format letters (case-insensitive): c, d dd ddd dddd ddddd (ShortDateFormat)
// dddddd (LongDateFormat), m mm mmm mmmm (minutes right after h/hh), yy yyyy,
// h hh (12-hour when am/pm follows), n nn, s ss, z zzz, t (ShortTimeFormat),
// tt (LongTimeFormat), am/pm a/p ampm, "/" DateSeparator, ":" TimeSeparator,
// '...' and "..." literals. An empty format is "c".
AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime);
void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime dateTime);
// Short date, then the long time unless the time is midnight.
AnsiString DateTimeToStr(TDateTime dateTime);
AnsiString DateToStr(TDateTime date);
AnsiString TimeToStr(TDateTime time);
