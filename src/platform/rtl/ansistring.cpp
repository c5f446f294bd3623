#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <ostream>
#include <vector>

namespace {
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// printf conversions always use the C locale's "." (the toolkit may have
// switched the process to the user's locale).
class TCLocaleScope {
public:
    TCLocaleScope() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        FPrevious = c ? uselocale(c) : static_cast<locale_t>(0);
    }
    ~TCLocaleScope() {
        if (FPrevious) uselocale(FPrevious);
    }
    TCLocaleScope(const TCLocaleScope&) = delete;
    TCLocaleScope& operator=(const TCLocaleScope&) = delete;

private:
    locale_t FPrevious;
};

std::string VFormat(const char* fmt, va_list args) {
    TCLocaleScope cLocale;
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    return std::string(buf.data(), static_cast<size_t>(n));
}
} // namespace

AnsiString::AnsiString(int v) : FData(IntToStr(v).str()) {}
AnsiString::AnsiString(unsigned v) : FData(std::to_string(v)) {}
AnsiString::AnsiString(long long v) : FData(std::to_string(v)) {}
AnsiString::AnsiString(double v) : FData(FloatToStr(v).str()) {}

AnsiString AnsiString::StringOfChar(char c, int count) {
    return AnsiString(std::string(count > 0 ? static_cast<size_t>(count) : 0, c));
}

char AnsiString::operator[](int index) const {
    if (index < 1 || index > Length())
        throw ERangeError("String index out of range (" + IntToStr(index) + ")");
    return FData[static_cast<size_t>(index - 1)];
}

char& AnsiString::operator[](int index) {
    if (index < 1 || index > Length())
        throw ERangeError("String index out of range (" + IntToStr(index) + ")");
    return FData[static_cast<size_t>(index - 1)];
}

AnsiString AnsiString::SubString(int index, int count) const {
    // A start before the first character counts from the first, the count
    // unchanged (SubString(0, 3) is the first three characters).
    if (index < 1) index = 1;
    if (count <= 0 || index > Length()) return AnsiString();
    return AnsiString(FData.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

int AnsiString::Pos(const AnsiString& sub) const {
    if (sub.IsEmpty()) return 0;
    const auto p = FData.find(sub.FData);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

AnsiString& AnsiString::Delete(int index, int count) {
    if (index >= 1 && index <= Length() && count > 0)
        FData.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
    return *this;
}

AnsiString& AnsiString::Insert(const AnsiString& s, int index) {
    index = std::clamp(index, 1, Length() + 1);
    FData.insert(static_cast<size_t>(index - 1), s.FData);
    return *this;
}

AnsiString& AnsiString::SetLength(int newLength) {
    FData.resize(newLength > 0 ? static_cast<size_t>(newLength) : 0, '\0');
    return *this;
}

AnsiString AnsiString::TrimLeft() const {
    size_t b = 0;
    while (b < FData.size() && IsBlank(FData[b]))
        ++b;
    return AnsiString(FData.substr(b));
}

AnsiString AnsiString::TrimRight() const {
    size_t e = FData.size();
    while (e > 0 && IsBlank(FData[e - 1]))
        --e;
    return AnsiString(FData.substr(0, e));
}

AnsiString AnsiString::Trim() const {
    return TrimLeft().TrimRight();
}

AnsiString AnsiString::UpperCase() const {
    std::string s = FData;
    std::transform(s.begin(), s.end(), s.begin(), AsciiUpper);
    return AnsiString(std::move(s));
}

AnsiString AnsiString::LowerCase() const {
    std::string s = FData;
    std::transform(s.begin(), s.end(), s.begin(), AsciiLower);
    return AnsiString(std::move(s));
}

int AnsiString::ToInt() const {
    return StrToInt(*this);
}
int AnsiString::ToIntDef(int def) const {
    return StrToIntDef(*this, def);
}
double AnsiString::ToDouble() const {
    return StrToFloat(*this);
}

AnsiString& AnsiString::sprintf(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    FData = VFormat(fmt, args);
    va_end(args);
    return *this;
}

AnsiString& AnsiString::cat_sprintf(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    FData += VFormat(fmt, args);
    va_end(args);
    return *this;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
    const int c = a.str().compare(b.str());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareText(const AnsiString& a, const AnsiString& b) {
    const std::string& x = a.str();
    const std::string& y = b.str();
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        const auto cx = static_cast<unsigned char>(AsciiUpper(x[i]));
        const auto cy = static_cast<unsigned char>(AsciiUpper(y[i]));
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool SameText(const AnsiString& a, const AnsiString& b) {
    return CompareText(a, b) == 0;
}
AnsiString UpperCase(const AnsiString& s) {
    return s.UpperCase();
}
AnsiString LowerCase(const AnsiString& s) {
    return s.LowerCase();
}
AnsiString Trim(const AnsiString& s) {
    return s.Trim();
}
AnsiString TrimLeft(const AnsiString& s) {
    return s.TrimLeft();
}
AnsiString TrimRight(const AnsiString& s) {
    return s.TrimRight();
}
int Pos(const AnsiString& sub, const AnsiString& s) {
    return s.Pos(sub);
}
AnsiString StringOfChar(char c, int count) {
    return AnsiString::StringOfChar(c, count);
}

AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern,
                         const AnsiString& newPattern, bool replaceAll, bool ignoreCase) {
    if (oldPattern.IsEmpty()) return s;
    const std::string hay = ignoreCase ? s.UpperCase().str() : s.str();
    const std::string needle = ignoreCase ? oldPattern.UpperCase().str() : oldPattern.str();
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t p = hay.find(needle, from);
        if (p == std::string::npos) break;
        out.append(s.str(), from, p - from);
        out += newPattern.str();
        from = p + needle.size();
        if (!replaceAll) break;
    }
    out.append(s.str(), from, std::string::npos);
    return AnsiString(std::move(out));
}

std::ostream& operator<<(std::ostream& os, const AnsiString& s) {
    return os << s.str();
}
