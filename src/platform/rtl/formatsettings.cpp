#include "platform/rtl/formatsettings.h"
#include <cctype>
#include <cstdint>
#include <clocale>
#include <iconv.h>
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

namespace {
const char* const EnglishShortMonths[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const EnglishLongMonths[13] = {"",        "January",  "February", "March",  "April",
                                           "May",     "June",     "July",     "August", "September",
                                           "October", "November", "December"};
const char* const EnglishShortDays[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const EnglishLongDays[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                        "Wednesday", "Thursday", "Friday", "Saturday"};
} // namespace

// Filled with the English names (and the locale's) at start-up, below.
AnsiString ShortMonthNames[13];
AnsiString LongMonthNames[13];
AnsiString ShortDayNames[8];
AnsiString LongDayNames[8];

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

// Text of a locale's code set as Windows-1252 bytes; false when it holds a
// character the code page has none for.
bool ToCodePage(const std::string& Text, const std::string& CodeSet, std::string& Out) {
    bool ascii = true;
    for (char c : Text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        Out = Text;
        return true;
    }
    if (CodeSet.empty()) return false;
    iconv_t cd = iconv_open("WINDOWS-1252", CodeSet.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = Text;
    std::string out(Text.size() * 4 + 4, '\0');
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || srcLeft != 0) return false;
    out.resize(out.size() - dstLeft);
    Out = out;
    return true;
}

// A set of names from the locale replaces the current one only when every
// name is there and the code page can write it.
template <size_t N>
void ApplyNames(const std::string (&From)[N], const std::string& CodeSet, AnsiString (&To)[N + 1]) {
    AnsiString names[N + 1];
    for (size_t i = 0; i < N; ++i) {
        std::string name;
        if (From[i].empty() || !ToCodePage(From[i], CodeSet, name)) return;
        names[i + 1] = AnsiString(name);
    }
    for (size_t i = 1; i <= N; ++i)
        To[i] = names[i];
}

template <size_t N> void SetNames(AnsiString (&To)[N], const char* const (&From)[N]) {
    for (size_t i = 0; i < N; ++i)
        To[i] = From[i];
}

void SetDefaults() {
    SetNames(ShortMonthNames, EnglishShortMonths);
    SetNames(LongMonthNames, EnglishLongMonths);
    SetNames(ShortDayNames, EnglishShortDays);
    SetNames(LongDayNames, EnglishLongDays);
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
        // Months as they stand alone (a menu, a calendar's title), where a
        // language tells that form from the one inside a date.
        for (int i = 0; i < 12; ++i) {
            f.ShortMonths[i] = Info(static_cast<nl_item>(_NL_ABALTMON_1 + i), tim);
            if (f.ShortMonths[i].empty()) f.ShortMonths[i] = Info(ABMON_1 + i, tim);
            f.LongMonths[i] = Info(static_cast<nl_item>(ALTMON_1 + i), tim);
            if (f.LongMonths[i].empty()) f.LongMonths[i] = Info(MON_1 + i, tim);
        }
        for (int i = 0; i < 7; ++i) {
            f.ShortDays[i] = Info(ABDAY_1 + i, tim);
            f.LongDays[i] = Info(DAY_1 + i, tim);
        }
        freelocale(tim);
    }
    if (locale_t ctype = OpenUserLocale(LC_CTYPE_MASK)) {
        f.CodeSet = Info(CODESET, ctype);
        freelocale(ctype);
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
    ApplyNames(f.ShortMonths, f.CodeSet, ShortMonthNames);
    ApplyNames(f.LongMonths, f.CodeSet, LongMonthNames);
    ApplyNames(f.ShortDays, f.CodeSet, ShortDayNames);
    ApplyNames(f.LongDays, f.CodeSet, LongDayNames);
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
