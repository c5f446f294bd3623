#include "platform/rtl/datetime.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <string>
#include <strings.h>

namespace {
constexpr int64_t MSecsPerDay = 86400000;
constexpr int64_t DaysTo1899 = 693594; // 1 Jan 0001 .. 30 Dec 1899
constexpr int64_t FirstDay = -693593;  // 1 Jan 0001
constexpr int64_t LastDay = 2958465;   // 31 Dec 9999

const int MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                              {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

struct TParts {
    int Year = 0, Month = 0, Day = 0, DayOfWeek = 0;
    int Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

// Negative values keep the platform's reading: the whole part counts days
// back from 30 Dec 1899 and the fraction's magnitude is the time of day.
TParts Split(double value) {
    TParts p;
    if (!(value > double(FirstDay - 1) && value < double(LastDay + 1))) return p;
    const int64_t ms = std::llround(value * double(MSecsPerDay));
    const int64_t days = ms / MSecsPerDay;
    if (days < FirstDay || days > LastDay) return p;
    int64_t t = ms % MSecsPerDay;
    if (t < 0) t = -t;
    p.Hour = int(t / 3600000);
    p.Min = int(t / 60000 % 60);
    p.Sec = int(t / 1000 % 60);
    p.MSec = int(t % 1000);

    int64_t n = days + DaysTo1899 - 1; // days since 1 Jan 0001
    p.DayOfWeek = int((n + 1) % 7) + 1;
    const int64_t y400 = n / 146097;
    n %= 146097;
    int64_t y100 = n / 36524;
    if (y100 == 4) y100 = 3;
    n -= y100 * 36524;
    const int64_t y4 = n / 1461;
    n %= 1461;
    int64_t y1 = n / 365;
    if (y1 == 4) y1 = 3;
    n -= y1 * 365;
    p.Year = int(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    const int* table = MonthDays[IsLeapYear(p.Year)];
    p.Month = 1;
    while (n >= table[p.Month])
        n -= table[p.Month++];
    p.Day = int(n) + 1;
    return p;
}

std::string Number(int v, int minDigits) {
    std::string s = std::to_string(v);
    if (int(s.size()) < minDigits) s.insert(0, size_t(minDigits) - s.size(), '0');
    return s;
}

bool AtText(const std::string& f, size_t i, const char* text) {
    const size_t n = std::char_traits<char>::length(text);
    return i + n <= f.size() && strncasecmp(f.c_str() + i, text, n) == 0;
}

class TDateFormatter {
public:
    explicit TDateFormatter(double value) : P(Split(value)) {}

    void Append(const std::string& f, int level = 0) {
        // ShortDateFormat may name "c" or "ddddd" itself; two levels suffice.
        if (level >= 2) return;
        // Each level keeps its own clock switch: a nested "t" with "AMPM" does
        // not turn the outer format's hours to the 12-hour clock.
        bool use12Hour = false;
        char lastToken = ' ';
        size_t i = 0;
        while (i < f.size()) {
            const char starter = f[i];
            char token = static_cast<char>(std::toupper(static_cast<unsigned char>(starter)));
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && lastToken == 'H') token = 'N';
                lastToken = token;
            }
            ++i;
            auto count = [&] {
                int c = 1;
                while (i < f.size() && f[i] == starter)
                    ++i, ++c;
                return c;
            };
            switch (token) {
            case 'Y':
                Out += count() <= 2 ? Number(P.Year % 100, 2) : Number(P.Year, 4);
                break;
            case 'M': {
                const int c = count();
                if (c <= 2)
                    Out += Number(P.Month, c);
                else
                    Out += (c == 3 ? ShortMonthNames : LongMonthNames)[P.Month].str();
                break;
            }
            case 'D': {
                const int c = count();
                if (c <= 2)
                    Out += Number(P.Day, c);
                else if (c == 3)
                    Out += ShortDayNames[P.DayOfWeek].str();
                else if (c == 4)
                    Out += LongDayNames[P.DayOfWeek].str();
                else
                    Append((c == 5 ? ShortDateFormat : LongDateFormat).str(), level + 1);
                break;
            }
            case 'H': {
                const int c = std::min(count(), 2);
                if (AmPmFollows(f, i)) use12Hour = true;
                int h = P.Hour;
                if (use12Hour) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
                Out += Number(h, c);
                break;
            }
            case 'N':
                Out += Number(P.Min, std::min(count(), 2));
                break;
            case 'S':
                Out += Number(P.Sec, std::min(count(), 2));
                break;
            case 'Z':
                Out += Number(P.MSec, std::min(count(), 3));
                break;
            case 'T':
                Append((count() == 1 ? ShortTimeFormat : LongTimeFormat).str(), level + 1);
                break;
            case 'C':
                count();
                Append(ShortDateFormat.str(), level + 1);
                if (P.Hour != 0 || P.Min != 0 || P.Sec != 0) {
                    Out += ' ';
                    Append(LongTimeFormat.str(), level + 1);
                }
                break;
            case 'A':
                if (AmPm(f, i)) use12Hour = true;
                break;
            case '/':
                if (DateSeparator) Out += DateSeparator;
                break;
            case ':':
                if (TimeSeparator) Out += TimeSeparator;
                break;
            case '\'':
            case '"': {
                const size_t close = f.find(starter, i);
                const size_t end = close == std::string::npos ? f.size() : close;
                Out.append(f, i, end - i);
                i = end == f.size() ? end : end + 1;
                break;
            }
            default:
                Out += starter;
                break;
            }
        }
    }

    std::string Out;

private:
    // An hour is on the 12-hour clock when an am/pm marker follows before the
    // next hour or other "a".
    static bool AmPmFollows(const std::string& f, size_t i) {
        bool quoted = false;
        for (; i < f.size(); ++i) {
            const char c = f[i];
            if (c == '\'' || c == '"')
                quoted = !quoted;
            else if (quoted)
                continue;
            else if (c == 'a' || c == 'A')
                return AtText(f, i, "am/pm") || AtText(f, i, "a/p") || AtText(f, i, "ampm");
            else if (c == 'h' || c == 'H')
                return false;
        }
        return false;
    }

    // `i` stands just after the "a"; the markers keep the case written.
    // True when an am/pm marker was written.
    bool AmPm(const std::string& f, size_t& i) {
        const size_t at = i - 1;
        const bool pm = P.Hour >= 12;
        if (AtText(f, at, "am/pm")) {
            Out.append(f, pm ? at + 3 : at, 2);
            i = at + 5;
            return true;
        }
        if (AtText(f, at, "a/p")) {
            Out += f[pm ? at + 2 : at];
            i = at + 3;
            return true;
        }
        if (AtText(f, at, "ampm")) {
            Out += (pm ? TimePMString : TimeAMString).str();
            i = at + 4;
            return true;
        }
        if (AtText(f, at, "aaaa")) {
            Out += LongDayNames[P.DayOfWeek].str();
            i = at + 4;
        } else if (AtText(f, at, "aaa")) {
            Out += ShortDayNames[P.DayOfWeek].str();
            i = at + 3;
        } else {
            Out += f[at];
        }
        return false;
    }

    TParts P;
};
} // namespace

AnsiString TDateTime::DateString() const {
    return DateToStr(*this);
}
AnsiString TDateTime::TimeString() const {
    return TimeToStr(*this);
}
AnsiString TDateTime::DateTimeString() const {
    return DateTimeToStr(*this);
}
AnsiString TDateTime::FormatString(const AnsiString& format) const {
    return FormatDateTime(format, *this);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        throw ERangeError("Month out of range (" + AnsiString(month) + ")");
    return MonthDays[IsLeapYear(year)][month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    int64_t dayOfYear = day;
    for (int m = 1; m < month; ++m)
        dayOfYear += DaysInMonth(year, m);
    const int64_t y = year - 1;
    date = double(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - DaysTo1899);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        return false;
    time = double(int64_t(hour) * 3600000 + min * 60000 + sec * 1000 + msec) / double(MSecsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    const TParts p = Split(date);
    year = p.Year;
    month = p.Month;
    day = p.Day;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
    int y, m, d;
    DecodeDate(date, y, m, d);
    year = Word(y);
    month = Word(m);
    day = Word(d);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
    const TParts p = Split(time);
    hour = p.Hour;
    min = p.Min;
    sec = p.Sec;
    msec = p.MSec;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
    int h, n, s, ms;
    DecodeTime(time, h, n, s, ms);
    hour = Word(h);
    min = Word(n);
    sec = Word(s);
    msec = Word(ms);
}

int DayOfWeek(TDateTime date) {
    return Split(date).DayOfWeek;
}

TDateTime Now() {
    const double epochMs = CurrentClock().NowMs();
    const double seconds = std::floor(epochMs / 1000.0);
    // A clock far outside the calendar is not handed to the C library.
    if (!(std::fabs(seconds) < 1e15)) return 25569.0 + epochMs / double(MSecsPerDay);
    const int msec = std::clamp(int(epochMs - seconds * 1000.0), 0, 999);
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    if (!localtime_r(&t, &local)) return 25569.0 + epochMs / double(MSecsPerDay);
    TDateTime date, time;
    if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date) ||
        !TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), msec, time))
        return 25569.0 + epochMs / double(MSecsPerDay);
    return date + time;
}

TDateTime Date() {
    return std::trunc(double(Now()));
}

TDateTime Time() {
    const double now = Now();
    return now - std::trunc(now);
}

void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime dateTime) {
    TDateFormatter f(dateTime);
    f.Append(format.IsEmpty() ? std::string("c") : format.str());
    result = AnsiString(std::move(f.Out));
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime) {
    AnsiString s;
    DateTimeToString(s, format, dateTime);
    return s;
}

AnsiString DateTimeToStr(TDateTime dateTime) {
    return FormatDateTime("c", dateTime);
}
AnsiString DateToStr(TDateTime date) {
    return FormatDateTime(ShortDateFormat, date);
}
AnsiString TimeToStr(TDateTime time) {
    return FormatDateTime(LongTimeFormat, time);
}
