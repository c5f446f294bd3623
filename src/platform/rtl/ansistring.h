#pragma once
// Byte string with 1-based character positions. Holds Windows-1252 bytes as the
// program's texts and files do; conversion to Unicode happens only at the
// toolkit boundary (forms layer).
#include <compare>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* s) : FData(s ? s : "") {}
    AnsiString(const char* s, int len) : FData(s, len > 0 ? static_cast<size_t>(len) : 0) {}
    AnsiString(const std::string& s) : FData(s) {}
    AnsiString(std::string&& s) : FData(std::move(s)) {}
    AnsiString(std::string_view s) : FData(s) {}
    explicit AnsiString(char c) : FData(1, c) {}
    // Numbers convert like IntToStr / FloatToStr.
    explicit AnsiString(int v);
    explicit AnsiString(unsigned v);
    explicit AnsiString(long long v);
    explicit AnsiString(double v);

    static AnsiString StringOfChar(char c, int count);

    int Length() const { return static_cast<int>(FData.size()); }
    bool IsEmpty() const { return FData.empty(); }
    const char* c_str() const { return FData.c_str(); }
    const char* data() const { return FData.data(); }
    const std::string& str() const { return FData; }
    std::string& str() { return FData; }

    // 1-based; an index outside 1..Length raises ERangeError.
    char operator[](int index) const;
    char& operator[](int index);

    // Out-of-range start or count is clipped, as the platform does: a start
    // below 1 is 1 with the count kept.
    AnsiString SubString(int index, int count) const;
    // 1-based position of the first occurrence, 0 when absent.
    int Pos(const AnsiString& sub) const;
    AnsiString& Delete(int index, int count);
    AnsiString& Insert(const AnsiString& s, int index);
    AnsiString& SetLength(int newLength);

    AnsiString Trim() const;
    AnsiString TrimLeft() const;
    AnsiString TrimRight() const;
    AnsiString UpperCase() const;
    AnsiString LowerCase() const;

    int ToInt() const;
    int ToIntDef(int def) const;
    double ToDouble() const;

    // printf-style formatting into this string (and appending).
    AnsiString& sprintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    AnsiString& cat_sprintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    AnsiString& operator+=(const AnsiString& s) {
        FData += s.FData;
        return *this;
    }
    AnsiString& operator+=(const char* s) {
        FData += s ? s : "";
        return *this;
    }
    AnsiString& operator+=(char c) {
        FData += c;
        return *this;
    }

    friend AnsiString operator+(const AnsiString& a, const AnsiString& b) {
        return AnsiString(a.FData + b.FData);
    }
    friend AnsiString operator+(const AnsiString& a, const char* b) {
        return AnsiString(a.FData + (b ? b : ""));
    }
    friend AnsiString operator+(const char* a, const AnsiString& b) {
        return AnsiString((a ? a : "") + b.FData);
    }
    friend AnsiString operator+(const AnsiString& a, char b) { return AnsiString(a.FData + b); }
    friend AnsiString operator+(char a, const AnsiString& b) { return AnsiString(a + b.FData); }

    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.FData == b.FData; }
    friend bool operator==(const AnsiString& a, const char* b) { return a.FData == (b ? b : ""); }
    // Byte-wise ordering, like the platform's AnsiString comparison operators.
    friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) {
        return a.FData.compare(b.FData) <=> 0;
    }

private:
    std::string FData;
};

// Case-insensitive comparison over ASCII letters: <0, 0, >0.
int CompareText(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);
int CompareStr(const AnsiString& a, const AnsiString& b);
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
int Pos(const AnsiString& sub, const AnsiString& s);
AnsiString StringOfChar(char c, int count);
AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern,
                         const AnsiString& newPattern, bool replaceAll = true,
                         bool ignoreCase = false);

// Writes the bytes as they are (test failure messages, debugging).
std::ostream& operator<<(std::ostream& os, const AnsiString& s);

// std::hash support so AnsiString can key unordered containers.
template <> struct std::hash<AnsiString> {
    size_t operator()(const AnsiString& s) const noexcept {
        return std::hash<std::string>()(s.str());
    }
};
