#include "platform/rtl/sysutils.h"
#include <charconv>
#include <limits>
#include <string>

AnsiString IntToStr(int64_t v) {
    return AnsiString(std::to_string(v));
}

AnsiString IntToHex(int64_t v, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    uint64_t u = static_cast<uint64_t>(v);
    std::string s;
    do {
        s.insert(s.begin(), hex[u & 0xF]);
        u >>= 4;
    } while (u != 0);
    while (static_cast<int>(s.size()) < digits)
        s.insert(s.begin(), '0');
    return AnsiString(std::move(s));
}

namespace {
// Integers skip leading blanks only; anything after the digits is an error.
bool ParseInt64(const AnsiString& text, int64_t& out) {
    const std::string& s = text.str();
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t acc = 0;
    const uint64_t limit =
        neg ? uint64_t(1) << 63 : (base == 16 ? ~uint64_t(0) : (uint64_t(1) << 63) - 1);
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (acc > (limit - d) / base) return false;
        acc = acc * base + d;
    }
    out = neg ? static_cast<int64_t>(0 - acc) : static_cast<int64_t>(acc);
    return true;
}

bool ParseInt32(const AnsiString& s, int& out) {
    int64_t v;
    if (!ParseInt64(s, v)) return false;
    // Hex may spell a negative 32-bit value ("$FFFFFFFF" is -1).
    if (v > std::numeric_limits<int>::max() && v <= 0xFFFFFFFFLL &&
        s.Pos("$") + s.UpperCase().Pos("0X") > 0)
        v = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    out = static_cast<int>(v);
    return true;
}

AnsiString Quoted(const AnsiString& s) {
    return "'" + s + "'";
}
} // namespace

bool TryStrToInt(const AnsiString& s, int& value) {
    return ParseInt32(s, value);
}

int StrToInt(const AnsiString& s) {
    int v;
    if (!ParseInt32(s, v)) throw EConvertError(Quoted(s) + " is not a valid integer value");
    return v;
}

int StrToIntDef(const AnsiString& s, int def) {
    int v;
    return ParseInt32(s, v) ? v : def;
}

int64_t StrToInt64(const AnsiString& s) {
    int64_t v;
    if (!ParseInt64(s, v)) throw EConvertError(Quoted(s) + " is not a valid integer value");
    return v;
}

int64_t StrToInt64Def(const AnsiString& s, int64_t def) {
    int64_t v;
    return ParseInt64(s, v) ? v : def;
}

namespace {
// Sign, digits with at most one DecimalSeparator, optional exponent; blanks
// around are allowed. Independent of the C library's locale.
bool ParseFloat(const AnsiString& text, double& value) {
    std::string s = text.str();
    const size_t first = s.find_first_not_of(' ');
    s = first == std::string::npos ? std::string()
                                   : s.substr(first, s.find_last_not_of(' ') + 1 - first);
    size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    std::string mantissa;
    int intDigits = 0, fracDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        mantissa += s[i++];
        ++intDigits;
    }
    if (i < s.size() && s[i] == DecimalSeparator) {
        mantissa += '.';
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            mantissa += s[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) return false;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNeg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNeg = s[i++] == '-';
        if (i >= s.size()) return false;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (expNeg) exponent = -exponent;
    }
    if (i != s.size()) return false;
    const std::string number = mantissa + "e" + std::to_string(exponent);
    double v = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is not a number we can give.
        const size_t firstSignificant = mantissa.find_first_of("123456789");
        if (firstSignificant == std::string::npos) {
            v = 0;
        } else {
            const size_t pointAt = mantissa.find('.');
            const long intPart = long(pointAt == std::string::npos ? mantissa.size() : pointAt);
            const long magnitude = intPart - long(firstSignificant) + exponent;
            if (magnitude > 0) return false;
            v = 0;
        }
    } else if (res.ec != std::errc() || res.ptr != number.data() + number.size()) {
        return false;
    }
    value = neg ? -v : v;
    return true;
}
} // namespace

bool TryStrToFloat(const AnsiString& s, double& value) {
    return ParseFloat(s, value);
}

double StrToFloat(const AnsiString& s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(Quoted(s) + " is not a valid floating point value");
    return v;
}

double StrToFloatDef(const AnsiString& s, double def) {
    double v;
    return TryStrToFloat(s, v) ? v : def;
}
