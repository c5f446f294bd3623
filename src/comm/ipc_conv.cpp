#include "comm/ipc_conv.h"
#include "platform/rtl/exceptions.h"
#include <cmath>
#include <limits>

namespace {
const char Digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int DigitCount = 36;

[[noreturn]] void RangeError() {
    throw ERangeError("Range check error");
}

int CheckedInt(double v) {
    if (!(v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()))
        RangeError();
    return static_cast<int>(v);
}

uint8_t CheckedByte(int v) {
    if (v < 0 || v > 255) RangeError();
    return static_cast<uint8_t>(v);
}

// Index of c in the digit table, -1 when absent (lower case is absent).
int DigitValue(char c) {
    for (int i = 0; i < DigitCount; ++i)
        if (Digits[i] == c) return i;
    return -1;
}

bool IsExcludedLetter(int code) {
    switch (code) {
    case 'B':
    case 'G':
    case 'I':
    case 'O':
    case 'Q':
    case 'U':
    case 'Y':
        return true;
    default:
        return false;
    }
}
} // namespace

double POWER(int base, int exponent) {
    if (base < 1) return 0;
    return std::exp(std::log(static_cast<double>(base)) * exponent);
}

AnsiString NTOC(double value, uint8_t base, uint8_t digits) {
    if (base < 2 || base > DigitCount) RangeError();
    AnsiString result;
    for (int i = digits - 1; i >= 1; --i) {
        const double w = std::nearbyint(POWER(base, i));
        const int d = CheckedInt(std::trunc(value / w));
        value -= d * w;
        if (d >= 0 && d < base) result += Digits[d];
    }
    const int last = CheckedInt(std::trunc(value));
    if (last < 0 || last >= DigitCount) RangeError();
    result += Digits[last];
    return result;
}

int CTON(const AnsiString& text, uint8_t base) {
    double sum = 0;
    const int n = text.Length();
    for (int k = n; k >= 1; --k) {
        const double weight = std::nearbyint(POWER(base, n - k));
        sum += DigitValue(text[k]) * weight;
    }
    return CheckedInt(std::trunc(sum));
}

AnsiString HEX_ASCII(const AnsiString& hex) {
    AnsiString result;
    AnsiString rest = hex;
    while (!rest.IsEmpty()) {
        result += static_cast<char>(CTON(rest.SubString(1, 2), 16) & 0xFF);
        rest.Delete(1, 2);
    }
    return result;
}

AnsiString ASCII_HEX(const AnsiString& text) {
    AnsiString result;
    for (int i = 1; i <= text.Length(); ++i)
        result += NTOC(static_cast<uint8_t>(text[i]), 16, 2);
    return result;
}

AnsiString Packed_to_ASCII(const AnsiString& hex) {
    if (hex.Length() % 6 != 0) return "-1";
    AnsiString result;
    for (int g = 1; g <= hex.Length(); g += 6) {
        const int b0 = CheckedByte(CTON(hex.SubString(g, 2), 16));
        const int b1 = CheckedByte(CTON(hex.SubString(g + 2, 2), 16));
        const int b2 = CheckedByte(CTON(hex.SubString(g + 4, 2), 16));
        const int chars[4] = {b0 >> 2, ((b0 & 3) << 4) | (b1 >> 4), ((b1 << 2) & 63) | (b2 >> 6),
                              b2 & 63};
        // Codes 0x20..0x3F (digits, punctuation) stand as they are; the rest are letters.
        for (int c : chars)
            result += static_cast<char>((c & 0x20) ? c : c + 0x40);
    }
    return result;
}

AnsiString ASCII_to_Packed(const AnsiString& text) {
    AnsiString padded = text;
    while (padded.Length() % 4 != 0)
        padded += ' ';
    AnsiString result;
    for (int g = 1; g <= padded.Length(); g += 4) {
        const int a0 = static_cast<uint8_t>(padded[g]), a1 = static_cast<uint8_t>(padded[g + 1]);
        const int a2 = static_cast<uint8_t>(padded[g + 2]),
                  a3 = static_cast<uint8_t>(padded[g + 3]);
        const int b0 = ((a0 << 2) | ((a1 >> 4) & 3)) & 255;
        const int b1 = ((a1 << 4) | ((a2 >> 2) & 15)) & 255;
        const int b2 = ((a3 & 63) | (a2 << 6)) & 255;
        result += NTOC(b0, 16, 2) + NTOC(b1, 16, 2) + NTOC(b2, 16, 2);
    }
    return result;
}

bool Komp_Hart_Nr(const AnsiString& number, AnsiString& result) {
    AnsiString id = number.SubString(1, 11);
    if (id.Length() > 6) id = id.SubString(1, 6);
    const AnsiString a = NTOC(CTON(id.SubString(3, 4), 16), 2, 15);
    const AnsiString b = NTOC(CTON(id.SubString(2, 1), 16), 2, 4);
    int c = static_cast<uint8_t>(id[1]);
    if (IsExcludedLetter(c)) {
        result = "";
        return true;
    }
    // Letters after an excluded one close the gap.
    const int first = c;
    for (int code = 10; code <= first; ++code)
        if (IsExcludedLetter(code)) --c;
    int d = c - '0';
    if (d >= 17) d = c - 55;
    if (d < 0) RangeError();
    const AnsiString bits = NTOC(d, 2, 5) + b + a;
    result = "";
    for (int i = 1; i <= bits.Length(); i += 8)
        result += NTOC(CTON(bits.SubString(i, 8), 2), 16, 2);
    return false;
}
