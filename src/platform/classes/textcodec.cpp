#include "platform/classes/textcodec.h"

namespace {
// 0x80..0x9F; the five unassigned bytes keep their C1 control code.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

char16_t AnsiCharToUnicode(unsigned char C) {
    return C >= 0x80 && C <= 0x9F ? kHigh[C - 0x80] : static_cast<char16_t>(C);
}

AnsiString Utf16ToAnsi(const std::u16string& In) {
    std::string out;
    out.reserve(In.size());
    for (char16_t u : In) {
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char c = '?';
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == u) c = static_cast<char>(0x80 + i);
        out += c;
    }
    return AnsiString(std::move(out));
}

bool Utf8ToUtf16(const std::string& In, std::u16string& Out) {
    Out.clear();
    Out.reserve(In.size());
    const auto* p = reinterpret_cast<const unsigned char*>(In.data());
    const auto* end = p + In.size();
    while (p < end) {
        const unsigned char c = *p++;
        if (c < 0x80) {
            Out += static_cast<char16_t>(c);
            continue;
        }
        int more;
        char32_t cp;
        if ((c & 0xE0) == 0xC0)
            more = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            more = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            more = 3, cp = c & 0x07;
        else
            return false;
        if (end - p < more) return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        p += more;
        static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
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
