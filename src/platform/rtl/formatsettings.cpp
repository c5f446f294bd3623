#include "platform/rtl/formatsettings.h"
#include <cctype>
#include <cstdint>
#include <clocale>
#include <langinfo.h>
#include <locale.h>

char DecimalSeparator = '.';
char ThousandSeparator = ',';
AnsiString CurrencyString = "$";
int CurrencyFormat = 0;
int NegCurrFormat = 0;
int CurrencyDecimals = 2;

char DateSeparator = '/';
char TimeSeparator = ':';
AnsiString ShortDateFormat = "m/d/yyyy";
AnsiString LongDateFormat = "dddd, mmmm d, yyyy";
AnsiString ShortTimeFormat = "h:nn AMPM";
AnsiString LongTimeFormat = "h:nn:ss AMPM";
AnsiString TimeAMString = "AM";
AnsiString TimePMString = "PM";
int FirstDayOfWeek = 0;

AnsiString ShortMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
AnsiString LongMonthNames[13] = {"",        "January",  "February", "March",  "April",
                                 "May",     "June",     "July",     "August", "September",
                                 "October", "November", "December"};
AnsiString ShortDayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
AnsiString LongDayNames[8] = {"",          "Sunday",   "Monday", "Tuesday",
                              "Wednesday", "Thursday", "Friday", "Saturday"};

namespace {
// A separator as one Windows-1252 byte; the no-break spaces and the typographic
// apostrophe that some locales group digits with have their own bytes there.
char SeparatorByte(const std::string& s, char fallback) {
    if (s.size() == 1 && static_cast<unsigned char>(s[0]) >= ' ' &&
        (static_cast<unsigned char>(s[0]) < 0x80 || static_cast<unsigned char>(s[0]) >= 0xA0))
        return s[0];
    if (s == "\xC2\xA0" || s == "\xE2\x80\xAF") return '\xA0';
    if (s == "\xE2\x80\x99") return '\x92';
    return fallback;
}

bool IsSeparatorChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > ' ' && u < 0x80 && !std::isalnum(u);
}

// Converts a strftime pattern into this library's date-time format letters.
// Separator characters become "/" (dates) or ":" (times) and the first one
// found is reported in `sep`. Returns false for what has no equivalent.
bool ConvertPattern(const std::string& pattern, const std::string& ampmPattern, bool time,
                    std::string& out, char& sep, int depth = 0) {
    if (depth > 2) return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%') {
            if (static_cast<unsigned char>(c) >= 0x80) return false;
            if (IsSeparatorChar(c)) {
                if (sep == 0) sep = c;
                if (c == sep) {
                    out += time ? ':' : '/';
                    continue;
                }
                out += '"';
                out += c;
                out += '"';
            } else if (std::isalpha(static_cast<unsigned char>(c))) {
                out += '"';
                out += c;
                out += '"';
            } else {
                out += c;
            }
            continue;
        }
        if (++i >= pattern.size()) return false;
        bool unpadded = false;
        while (i < pattern.size() && (pattern[i] == '-' || pattern[i] == '_' || pattern[i] == '0' ||
                                      pattern[i] == '^' || pattern[i] == '#')) {
            unpadded = unpadded || pattern[i] == '-' || pattern[i] == '_';
            ++i;
        }
        if (i >= pattern.size()) return false;
        const char* expansion = nullptr;
        switch (pattern[i]) {
        case 'd':
            out += unpadded ? "d" : "dd";
            break;
        case 'e':
            out += "d";
            break;
        case 'm':
            out += unpadded ? "m" : "mm";
            break;
        case 'y':
            out += "yy";
            break;
        case 'Y':
            out += "yyyy";
            break;
        case 'b':
        case 'h':
            out += "mmm";
            break;
        case 'B':
            out += "mmmm";
            break;
        case 'a':
            out += "ddd";
            break;
        case 'A':
            out += "dddd";
            break;
        case 'H':
            out += unpadded ? "h" : "hh";
            break;
        case 'k':
            out += "h";
            break;
        case 'I':
            out += unpadded ? "h" : "hh";
            break;
        case 'l':
            out += "h";
            break;
        case 'M':
            out += "nn";
            break;
        case 'S':
            out += "ss";
            break;
        case 'p':
        case 'P':
            out += "ampm";
            break;
        case '%':
            out += "'%'";
            break;
        case 'D':
            expansion = "%m/%d/%y";
            break;
        case 'F':
            expansion = "%Y-%m-%d";
            break;
        case 'T':
            expansion = "%H:%M:%S";
            break;
        case 'R':
            expansion = "%H:%M";
            break;
        case 'r':
            expansion = ampmPattern.empty() ? "%I:%M:%S %p" : ampmPattern.c_str();
            break;
        default:
            return false;
        }
        if (expansion && !ConvertPattern(expansion, ampmPattern, time, out, sep, depth + 1))
            return false;
    }
    return true;
}

void SetDefaults() {
    DecimalSeparator = '.';
    ThousandSeparator = ',';
    DateSeparator = '/';
    TimeSeparator = ':';
    ShortDateFormat = "m/d/yyyy";
    LongDateFormat = "dddd, mmmm d, yyyy";
    ShortTimeFormat = "h:nn AMPM";
    LongTimeFormat = "h:nn:ss AMPM";
    TimeAMString = "AM";
    TimePMString = "PM";
    FirstDayOfWeek = 0;
}

locale_t OpenUserLocale(int mask) {
    if (locale_t loc = newlocale(mask, "", static_cast<locale_t>(0))) return loc;
    return newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
}

std::string Info(nl_item item, locale_t loc) {
    const char* s = nl_langinfo_l(item, loc);
    return s ? std::string(s) : std::string();
}

// After the locale's globals, so the defaults above are set when it runs.
[[maybe_unused]] const bool FormatSettingsRead = (GetFormatSettings(), true);
} // namespace

TLocaleFormats ReadLocaleFormats() {
    TLocaleFormats f;
    if (locale_t num = OpenUserLocale(LC_NUMERIC_MASK)) {
        f.DecimalPoint = Info(RADIXCHAR, num);
        f.ThousandsSep = Info(THOUSEP, num);
        freelocale(num);
    }
    if (locale_t tim = OpenUserLocale(LC_TIME_MASK)) {
        f.DateFormat = Info(D_FMT, tim);
        f.TimeFormat = Info(T_FMT, tim);
        f.TimeFormatAmPm = Info(T_FMT_AMPM, tim);
        f.AmText = Info(AM_STR, tim);
        f.PmText = Info(PM_STR, tim);
        // The C library gives these two as numbers in place of a text.
        f.WeekBaseDate =
            static_cast<int>(reinterpret_cast<uintptr_t>(nl_langinfo_l(_NL_TIME_WEEK_1STDAY, tim)));
        if (const char* first = nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, tim))
            f.FirstWeekday = first[0];
        freelocale(tim);
    }
    return f;
}

void ApplyLocaleFormats(const TLocaleFormats& f) {
    DecimalSeparator = SeparatorByte(f.DecimalPoint, DecimalSeparator);
    ThousandSeparator = SeparatorByte(f.ThousandsSep, ThousandSeparator);
    // Grouping with the decimal character would make numbers unreadable.
    if (ThousandSeparator == DecimalSeparator)
        ThousandSeparator = DecimalSeparator == ',' ? '.' : ',';

    std::string fmt;
    char sep = 0;
    if (ConvertPattern(f.DateFormat, f.TimeFormatAmPm, false, fmt, sep) &&
        fmt.find_first_of("dmy") != std::string::npos) {
        ShortDateFormat = fmt;
        if (sep) DateSeparator = sep;
    }
    fmt.clear();
    sep = 0;
    if (ConvertPattern(f.TimeFormat, f.TimeFormatAmPm, true, fmt, sep) &&
        fmt.find_first_of("hn") != std::string::npos) {
        LongTimeFormat = fmt;
        if (sep) TimeSeparator = sep;
        // The short form is the long one without its seconds.
        size_t p = fmt.find(":ss");
        if (p != std::string::npos)
            fmt.erase(p, 3);
        else if ((p = fmt.find("ss")) != std::string::npos)
            fmt.erase(p, 2);
        ShortTimeFormat = AnsiString(fmt).Trim();
    }
    auto ascii = [](const std::string& s) {
        if (s.empty()) return false;
        for (char c : s)
            if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) >= 0x80)
                return false;
        return true;
    };
    if (ascii(f.AmText) && ascii(f.PmText)) {
        TimeAMString = f.AmText;
        TimePMString = f.PmText;
    }
    FirstDayOfWeek = FirstDayOfWeekOf(f);
}

int FirstDayOfWeekOf(const TLocaleFormats& f) {
    const int y = f.WeekBaseDate / 10000, m = f.WeekBaseDate / 100 % 100, d = f.WeekBaseDate % 100;
    static constexpr int Days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > Days[m - 1] || f.FirstWeekday < 1 ||
        f.FirstWeekday > 7)
        return 0;
    // Days since 1 March of year 0 (a Wednesday), then the weekday of the base
    // date counted from Monday.
    const int yy = m <= 2 ? y - 1 : y, mm = m <= 2 ? m + 9 : m - 3;
    const long days = 365L * yy + yy / 4 - yy / 100 + yy / 400 + (153 * mm + 2) / 5 + d - 1;
    const int base = static_cast<int>((days + 2) % 7);
    return (base + f.FirstWeekday - 1) % 7;
}

void GetFormatSettings() {
    SetDefaults();
    ApplyLocaleFormats(ReadLocaleFormats());
}
