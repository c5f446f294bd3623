#include "platform/classes/textcodec.h"

namespace {
// 0x80..0x9F; the five unassigned bytes keep their C1 control code.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, -1 when Windows-1252 lacks it.
int AnsiByteOf(char32_t U) {
    if (U < 0x80 || (U >= 0xA0 && U <= 0xFF)) return static_cast<int>(U);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == U) return 0x80 + i;
    return -1;
}

// One character from P: the bytes it takes, 0 when P starts no valid sequence.
int DecodeOne(const unsigned char* P, const unsigned char* End, char32_t& Cp) {
    const unsigned char c = *P;
    if (c < 0x80) {
        Cp = c;
        return 1;
    }
    int more;
    if ((c & 0xE0) == 0xC0)
        more = 1, Cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
        more = 2, Cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
        more = 3, Cp = c & 0x07;
    else
        return 0;
    if (End - P - 1 < more) return 0;
    for (int i = 1; i <= more; ++i) {
        if ((P[i] & 0xC0) != 0x80) return 0;
        Cp = (Cp << 6) | (P[i] & 0x3F);
    }
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (Cp < kMin[more] || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return 0;
    return more + 1;
}

void AppendUtf8(std::string& Out, char32_t Cp) {
    if (Cp < 0x80) {
        Out += static_cast<char>(Cp);
    } else if (Cp < 0x800) {
        Out += static_cast<char>(0xC0 | (Cp >> 6));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (Cp >> 12));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    }
}
} // namespace

char16_t AnsiCharToUnicode(unsigned char C) {
    return C >= 0x80 && C <= 0x9F ? kHigh[C - 0x80] : static_cast<char16_t>(C);
}

AnsiString Utf16ToAnsi(const std::u16string& In) {
    std::string out;
    out.reserve(In.size());
    for (char16_t u : In) {
        const int b = AnsiByteOf(u);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return AnsiString(std::move(out));
}

bool Utf8ToUtf16(const std::string& In, std::u16string& Out) {
    Out.clear();
    Out.reserve(In.size());
    const auto* p = reinterpret_cast<const unsigned char*>(In.data());
    const auto* end = p + In.size();
    while (p < end) {
        char32_t cp;
        const int n = DecodeOne(p, end, cp);
        if (n == 0) return false;
        p += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            Out += static_cast<char16_t>(0xD800 + (cp >> 10));
            Out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            Out += static_cast<char16_t>(cp);
        }
    }
    return true;
}

std::string AnsiToUtf8(const AnsiString& In) {
    std::string out;
    out.reserve(In.str().size());
    for (unsigned char c : In.str())
        AppendUtf8(out, AnsiCharToUnicode(c));
    return out;
}

bool Utf8ToAnsi(const std::string& In, AnsiString& Out) {
    std::string out;
    out.reserve(In.size());
    const auto* p = reinterpret_cast<const unsigned char*>(In.data());
    const auto* end = p + In.size();
    while (p < end) {
        char32_t cp;
        const int n = DecodeOne(p, end, cp);
        const int b = n == 0 ? -1 : AnsiByteOf(cp);
        if (b < 0) return false;
        out += static_cast<char>(b);
        p += n;
    }
    Out = AnsiString(std::move(out));
    return true;
}

AnsiString Utf8ToAnsiShown(const std::string& In) {
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(In.data());
    const auto* end = p + In.size();
    while (p < end) {
        char32_t cp = 0;
        const int n = DecodeOne(p, end, cp);
        const int b = n == 0 ? -1 : AnsiByteOf(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        p += n == 0 ? 1 : n;
    }
    return AnsiString(std::move(out));
}
