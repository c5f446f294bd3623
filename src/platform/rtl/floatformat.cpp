#include "platform/rtl/floatformat.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {
constexpr int DoubleDigits = 15; // decimal digits a double holds reliably
constexpr int MinPrecision = 2;
constexpr int MaxPrecision = 18;
constexpr int MaxExponentDigits = 4;
constexpr long AllDecimals = 9999;

// value = 0.Digits x 10^Exponent
struct TDecimal {
    bool Negative = false;
    int Exponent = 0;
    std::string Digits; // no trailing zeros; empty for zero
    bool IsZero() const { return Digits.empty(); }
    // The digit standing for 10^power ('0' outside the digits held).
    char At(int power) const {
        const long i = long(Exponent) - 1 - power;
        return i >= 0 && i < long(Digits.size()) ? Digits[size_t(i)] : '0';
    }
    int Decimals() const { return std::max(0, int(Digits.size()) - Exponent); }
};

void Normalize(TDecimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty()) {
        d.Negative = false; // never "-0"
        d.Exponent = 0;
    }
}

// Keeps `count` leading digits, the rest rounded half away from zero.
void RoundTo(TDecimal& d, long count) {
    if (count < long(d.Digits.size())) {
        const bool up = count >= 0 && d.Digits[size_t(count)] >= '5';
        d.Digits.resize(size_t(std::max(0L, count)));
        if (up) {
            long i = count - 1;
            while (i >= 0 && d.Digits[size_t(i)] == '9')
                d.Digits[size_t(i--)] = '0';
            if (i < 0) {
                d.Digits.insert(d.Digits.begin(), '1');
                ++d.Exponent;
            } else {
                ++d.Digits[size_t(i)];
            }
        }
    }
    Normalize(d);
}

// The decimal digits of a finite value: its 18-digit expansion is first
// brought to the 15 digits a double holds (so 1.005 is 1.005, not
// 1.00499999...), then rounded to `precision` significant digits and at most
// `decimals` digits after the point.
TDecimal Decompose(double value, int precision, long decimals) {
    TDecimal d;
    d.Negative = std::signbit(value);
    const double a = std::fabs(value);
    if (a == 0) {
        Normalize(d);
        return d;
    }
    char buf[48];
    // Shape "d.ddddddddddddddddde+XX", independent of the C locale.
    const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 17);
    const std::string_view s(buf, size_t(res.ptr - buf));
    const size_t e = s.find('e');
    d.Digits.assign(1, s[0]);
    d.Digits.append(s.substr(2, e - 2));
    int exp10 = 0;
    const size_t expStart = e + 1 + (s[e + 1] == '+' ? 1 : 0);
    std::from_chars(s.data() + expStart, s.data() + s.size(), exp10);
    d.Exponent = exp10 + 1;
    RoundTo(d, DoubleDigits);
    RoundTo(d, std::min<long>(precision, long(d.Exponent) + decimals));
    return d;
}

bool SpecialText(double value, AnsiString& out) {
    if (std::isnan(value))
        out = "NAN";
    else if (std::isinf(value))
        out = value < 0 ? "-INF" : "INF";
    else
        return false;
    return true;
}

void AppendExponent(std::string& s, int exponent, int minDigits, bool plusSign) {
    if (exponent < 0)
        s += '-';
    else if (plusSign)
        s += '+';
    const std::string n = std::to_string(std::abs(exponent));
    if (int(n.size()) < minDigits) s.append(size_t(minDigits) - n.size(), '0');
    s += n;
}

void AppendInteger(std::string& s, const TDecimal& d, bool grouped) {
    for (int p = std::max(d.Exponent, 1) - 1; p >= 0; --p) {
        s += d.At(p);
        if (grouped && p > 0 && p % 3 == 0) s += ThousandSeparator;
    }
}

std::string GeneralText(const TDecimal& d, int precision, int expDigits) {
    if (d.IsZero()) return "0";
    std::string s = d.Negative ? "-" : "";
    if (d.Exponent > precision || d.Exponent < -3) {
        s += d.Digits[0];
        if (d.Digits.size() > 1) {
            s += DecimalSeparator;
            s.append(d.Digits, 1, std::string::npos);
        }
        s += 'E';
        AppendExponent(s, d.Exponent - 1, expDigits, false);
        return s;
    }
    AppendInteger(s, d, false);
    if (const int decimals = d.Decimals(); decimals > 0) {
        s += DecimalSeparator;
        for (int k = 1; k <= decimals; ++k)
            s += d.At(-k);
    }
    return s;
}

std::string ExponentText(const TDecimal& d, int precision, int expDigits) {
    std::string mantissa = d.IsZero() ? std::string("0") : d.Digits;
    mantissa.resize(size_t(precision), '0');
    std::string s = d.Negative ? "-" : "";
    s += mantissa[0];
    if (precision > 1) {
        s += DecimalSeparator;
        s.append(mantissa, 1, std::string::npos);
    }
    s += 'E';
    AppendExponent(s, d.IsZero() ? 0 : d.Exponent - 1, expDigits, true);
    return s;
}

std::string FixedDigits(const TDecimal& d, int decimals, bool grouped) {
    std::string s;
    AppendInteger(s, d, grouped);
    if (decimals > 0) {
        s += DecimalSeparator;
        for (int k = 1; k <= decimals; ++k)
            s += d.At(-k);
    }
    return s;
}

std::string CurrencyText(const TDecimal& d, int decimals) {
    static const char* const positive[4] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const negative[16] = {"($1)", "-$1",  "$-1",   "$1-",  "(1$)", "-1$",
                                             "1-$",  "1$-",  "-1 $",  "-$ 1", "1 $-", "$ 1-",
                                             "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* pattern = d.Negative ? negative[std::clamp(NegCurrFormat, 0, 15)]
                                     : positive[std::clamp(CurrencyFormat, 0, 3)];
    std::string s;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            s += CurrencyString.str();
        else if (*p == '1')
            s += FixedDigits(d, decimals, true);
        else
            s += *p;
    }
    return s;
}

// ---- picture formats ----

std::vector<std::string_view> SplitSections(std::string_view f) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < f.size() && sections.size() < 2; ++i) {
        if (quote) {
            if (f[i] == quote) quote = 0;
        } else if (f[i] == '\'' || f[i] == '"') {
            quote = f[i];
        } else if (f[i] == ';') {
            sections.push_back(f.substr(start, i - start));
            start = i + 1;
        }
    }
    std::string_view last = f.substr(start);
    // A fourth section and beyond are ignored.
    quote = 0;
    for (size_t i = 0; i < last.size(); ++i) {
        if (quote) {
            if (last[i] == quote) quote = 0;
        } else if (last[i] == '\'' || last[i] == '"') {
            quote = last[i];
        } else if (last[i] == ';') {
            last = last.substr(0, i);
            break;
        }
    }
    sections.push_back(last);
    return sections;
}

bool IsExponentAt(std::string_view s, size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

struct TPicture {
    int IntPlaces = 0;
    int DecPlaces = 0;
    int FirstIntZero = -1; // index of the first '0' among the integer places
    int LastDecZero = 0;   // decimal places up to the last '0'
    bool Grouped = false;
    bool Scientific = false;
};

TPicture ScanPicture(std::string_view sec) {
    TPicture p;
    bool point = false;
    for (size_t i = 0; i < sec.size(); ++i) {
        const char c = sec[i];
        if (c == '\'' || c == '"') {
            const size_t close = sec.find(c, i + 1);
            i = close == std::string_view::npos ? sec.size() : close;
        } else if (c == '0' || c == '#') {
            if (!point) {
                if (c == '0' && p.FirstIntZero < 0) p.FirstIntZero = p.IntPlaces;
                ++p.IntPlaces;
            } else {
                ++p.DecPlaces;
                if (c == '0') p.LastDecZero = p.DecPlaces;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            p.Grouped = true;
        } else if (!p.Scientific && IsExponentAt(sec, i)) {
            p.Scientific = true;
            ++i;
            while (i + 1 < sec.size() && sec[i + 1] == '0')
                ++i;
        }
    }
    if (p.Scientific) p.Grouped = false;
    return p;
}

enum class TSectionResult { Done, RoundedToZero, General };

// Formats the magnitude `a` with one section.
TSectionResult ApplySection(std::string_view sec, double a, std::string& out) {
    const TPicture pic = ScanPicture(sec);
    TDecimal d;
    int expOut = 0;
    if (pic.IntPlaces + pic.DecPlaces > 0) {
        if (!pic.Scientific) {
            d = Decompose(a, DoubleDigits, pic.DecPlaces);
            // Beyond 18 integer digits the picture would only pad zeros.
            if (d.Exponent > MaxPrecision) return TSectionResult::General;
        } else {
            d = Decompose(a, std::max(1, pic.IntPlaces + pic.DecPlaces), AllDecimals);
            if (!d.IsZero()) {
                expOut = d.Exponent - pic.IntPlaces;
                d.Exponent = pic.IntPlaces;
            }
        }
    }
    const bool roundedToZero = d.IsZero() && a != 0 && pic.IntPlaces + pic.DecPlaces > 0;
    // Leading integer places that print even without a digit of the value.
    int forcedPower = pic.FirstIntZero >= 0 ? pic.IntPlaces - 1 - pic.FirstIntZero : -1;
    if (pic.Scientific && d.IsZero()) forcedPower = std::max(forcedPower, 0);
    const int decToPrint = std::min(pic.DecPlaces, std::max(pic.LastDecZero, d.Decimals()));

    auto emitDigit = [&](int p) {
        out += d.At(p);
        if (pic.Grouped && p > 0 && p % 3 == 0) out += ThousandSeparator;
    };
    // Integer digits beyond the picture's integer places go out at the first
    // placeholder; the decimal separator goes out with the first decimal digit.
    bool overflowDone = false;
    auto emitOverflow = [&] {
        if (overflowDone) return;
        overflowDone = true;
        for (int p = d.Exponent - 1; p > pic.IntPlaces - 1; --p)
            emitDigit(p);
    };
    int power = pic.IntPlaces - 1;
    int decIndex = 0;
    bool point = false, exponentDone = false;
    for (size_t i = 0; i < sec.size(); ++i) {
        const char c = sec[i];
        if (c == '\'' || c == '"') {
            const size_t close = sec.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? sec.size() : close;
            out.append(sec.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#') {
            emitOverflow();
            if (!point) {
                if (power < d.Exponent || power <= forcedPower) emitDigit(power);
                --power;
            } else if (++decIndex <= decToPrint) {
                if (decIndex == 1) out += DecimalSeparator;
                out += d.At(-decIndex);
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            // grouping is a property of the whole section
        } else if (pic.Scientific && !exponentDone && IsExponentAt(sec, i)) {
            exponentDone = true;
            out += c;
            const bool plus = sec[++i] == '+';
            int zeros = 0;
            while (i + 1 < sec.size() && sec[i + 1] == '0') {
                ++zeros;
                ++i;
            }
            AppendExponent(out, expOut, std::min(zeros, MaxExponentDigits), plus);
        } else {
            out += c;
        }
    }
    return roundedToZero ? TSectionResult::RoundedToZero : TSectionResult::Done;
}
} // namespace

AnsiString FloatToStr(double value) {
    return FloatToStrF(value, ffGeneral, DoubleDigits, 0);
}

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    AnsiString special;
    if (SpecialText(value, special)) return special;
    precision = std::clamp(precision, MinPrecision, MaxPrecision);
    const int significant = std::min(precision, DoubleDigits);
    const int expDigits = std::clamp(digits, 0, MaxExponentDigits);
    switch (format) {
    case ffExponent:
        return AnsiString(
            ExponentText(Decompose(value, significant, AllDecimals), precision, expDigits));
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        const int decimals = std::clamp(digits, 0, MaxPrecision);
        const TDecimal d = Decompose(value, significant, decimals);
        if (d.Exponent > precision) break;
        if (format == ffCurrency) return AnsiString(CurrencyText(d, decimals));
        return AnsiString((d.Negative ? "-" : "") + FixedDigits(d, decimals, format == ffNumber));
    }
    case ffGeneral:
        break;
    }
    return AnsiString(
        GeneralText(Decompose(value, significant, AllDecimals), precision, expDigits));
}

AnsiString FormatFloat(const AnsiString& format, double value) {
    AnsiString special;
    if (SpecialText(value, special) || format.IsEmpty()) return FloatToStr(value);
    const auto sections = SplitSections(format.str());
    auto usable = [&](size_t i) { return i < sections.size() && !sections[i].empty(); };
    size_t index = 0;
    if (value < 0 && usable(1))
        index = 1;
    else if (value == 0 && usable(2))
        index = 2;
    // Without a positive section there is no picture to fall back on.
    if (sections[index].empty()) return FloatToStr(value);
    std::string out;
    const TSectionResult result = ApplySection(sections[index], std::fabs(value), out);
    if (result == TSectionResult::General) return FloatToStr(value);
    if (result == TSectionResult::RoundedToZero && index != 2 && usable(2)) {
        out.clear();
        ApplySection(sections[2], 0.0, out);
        return AnsiString(std::move(out));
    }
    if (value < 0 && index == 0 && result != TSectionResult::RoundedToZero)
        out.insert(out.begin(), '-');
    return AnsiString(std::move(out));
}
