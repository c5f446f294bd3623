// Binary to text and text to binary, exact inverses of each other.
//   helpers          identifiers, currency text, line lengths
//   TBinaryToText    reads the binary form and writes "object ... end" text
//   TTextToBinary    parses that text (hand-written too) and writes the binary form
//   ObjectBinaryToText, ObjectTextToBinary   the two entry points at the end
// Values are written so that parsing them gives back the same tag and bytes:
// integers in their smallest width, floats in the shortest digits that read back
// exactly (with a suffix s, c or d for single, currency and date; extendeds that
// no double holds in all the digits they need), strings short up to 255 bytes
// and long above, text with characters above 255 as wide strings.
#include "platform/classes/objtext.h"
#include "platform/classes/extendedtext.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include "platform/classes/textcodec.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr int kMaxDepth = 200;
constexpr size_t kLineLength = 64; // characters of a string on one line
constexpr size_t kBytesPerLine = 32;

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

bool IsIdent(const std::string& s) {
    if (s.empty() || !IsIdentStart(s[0])) return false;
    for (char c : s)
        if (!IsIdentChar(c)) return false;
    return true;
}

bool IsDottedIdent(const std::string& s) {
    size_t begin = 0;
    while (true) {
        const size_t dot = s.find('.', begin);
        if (!IsIdent(s.substr(begin, dot == std::string::npos ? std::string::npos : dot - begin)))
            return false;
        if (dot == std::string::npos) return true;
        begin = dot + 1;
    }
}

std::string CurrencyText(int64_t scaled) {
    const bool neg = scaled < 0;
    const uint64_t a =
        neg ? uint64_t(0) - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string frac = std::to_string(a % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    while (frac.size() > 1 && frac.back() == '0')
        frac.pop_back();
    return (neg ? "-" : "") + std::to_string(a / 10000) + "." + frac;
}

class TBinaryToText {
public:
    TBinaryToText(TStream* Input, TStream* Output) : FReader(Input), FOutput(Output) {}

    void Run() {
        FReader.ReadSignature();
        ConvertObject();
        Flush();
    }

private:
    TReader FReader;
    TStream* FOutput;
    std::string FOut;
    int FLevel = 0;
    int FDepth = 0;

    [[noreturn]] static void Invalid(const std::string& what) {
        throw EReadError("Invalid stream format: " + what);
    }

    void Flush() {
        if (FOut.empty()) return;
        FOutput->WriteBuffer(FOut.data(), static_cast<int>(FOut.size()));
        FOut.clear();
    }
    void MaybeFlush() {
        if (FOut.size() >= (1u << 20)) Flush();
    }
    void Indent() { FOut.append(static_cast<size_t>(FLevel) * 2, ' '); }
    void NewLine() {
        FOut += "\r\n";
        Indent();
        MaybeFlush();
    }
    void Enter() {
        if (++FDepth > kMaxDepth) Invalid("nested too deep");
    }

    std::string Ident(const char* what) {
        const std::string s = FReader.ReadStr().str();
        if (!IsIdent(s)) Invalid(std::string("bad ") + what + " '" + s + "'");
        return s;
    }

    void ConvertObject() {
        Enter();
        TFilerFlags flags;
        int childPos = 0;
        FReader.ReadPrefix(flags, childPos);
        const std::string cls = Ident("class name");
        const std::string name = FReader.ReadStr().str();
        if (!name.empty() && !IsIdent(name)) Invalid("bad component name '" + name + "'");
        Indent();
        FOut += flags.Contains(ffInline)      ? "inline "
                : flags.Contains(ffInherited) ? "inherited "
                                              : "object ";
        if (!name.empty()) FOut += name + ": ";
        FOut += cls;
        if (flags.Contains(ffChildPos)) FOut += " [" + std::to_string(childPos) + "]";
        FOut += "\r\n";
        ++FLevel;
        while (!FReader.EndOfList())
            ConvertProperty();
        FReader.ReadListEnd();
        while (!FReader.EndOfList())
            ConvertObject();
        FReader.ReadListEnd();
        --FLevel;
        Indent();
        FOut += "end\r\n";
        MaybeFlush();
        --FDepth;
    }

    void ConvertProperty() {
        const std::string name = FReader.ReadStr().str();
        if (!IsDottedIdent(name)) Invalid("bad property name '" + name + "'");
        Indent();
        FOut += name + " = ";
        ConvertValue();
        FOut += "\r\n";
        MaybeFlush();
    }

    template <typename T> T Raw() {
        T v;
        FReader.Read(&v, sizeof v);
        return v;
    }

    static bool Printable(unsigned c) { return c >= 0x20 && c < 0x7F && c != '\''; }

    // Quoted runs and #codes, broken into lines of at most kLineLength characters.
    template <typename S> void QuotedText(const S& s) {
        if (s.empty()) {
            FOut += "''";
            return;
        }
        ++FLevel;
        if (s.size() > kLineLength) NewLine();
        size_t i = 0, k = 0;
        while (i < s.size()) {
            bool lineBreak = false;
            const auto code = [&](size_t n) {
                return static_cast<unsigned>(
                    static_cast<std::make_unsigned_t<typename S::value_type>>(s[n]));
            };
            if (Printable(code(i))) {
                FOut += '\'';
                do {
                    FOut += static_cast<char>(code(i));
                    ++i;
                } while (i < s.size() && Printable(code(i)) && i - k < kLineLength);
                FOut += '\'';
            } else {
                FOut += '#';
                FOut += std::to_string(code(i));
                ++i;
            }
            if (i - k >= kLineLength) lineBreak = true;
            if (lineBreak && i < s.size()) {
                FOut += " +";
                NewLine();
                k = i;
            }
        }
        --FLevel;
    }

    void ConvertValue() {
        static const char kHex[] = "0123456789ABCDEF";
        const TValueType t = FReader.ReadValue();
        switch (t) {
        case vaNull:
            FOut += "Null";
            break;
        case vaList:
            Enter();
            FOut += '(';
            ++FLevel;
            while (!FReader.EndOfList()) {
                NewLine();
                ConvertValue();
            }
            FReader.ReadListEnd();
            --FLevel;
            FOut += ')';
            --FDepth;
            break;
        case vaInt8:
            FOut += std::to_string(Raw<int8_t>());
            break;
        case vaInt16:
            FOut += std::to_string(Raw<int16_t>());
            break;
        case vaInt32:
            FOut += std::to_string(Raw<int32_t>());
            break;
        case vaInt64:
            FOut += std::to_string(Raw<int64_t>());
            break;
        case vaExtended: {
            uint8_t ext[10];
            FReader.Read(ext, 10);
            FOut += ExtendedToText(ext);
            break;
        }
        case vaSingle:
            FOut += ShortestText(Raw<float>()) + "s";
            break;
        case vaCurrency:
            FOut += CurrencyText(Raw<int64_t>()) + "c";
            break;
        case vaDate:
            FOut += ShortestText(Raw<double>()) + "d";
            break;
        case vaString:
        case vaLString: {
            const int64_t n = t == vaString ? Raw<uint8_t>() : Raw<int32_t>();
            if (n < 0 || n > FReader.Remaining()) Invalid("string length " + std::to_string(n));
            std::string s(static_cast<size_t>(n), '\0');
            FReader.Read(s.data(), n);
            QuotedText(s);
            break;
        }
        case vaWString:
            QuotedText(FReader.ReadWideUnits());
            break;
        case vaUTF8String:
            QuotedText(FReader.ReadUTF8Units());
            break;
        case vaIdent: {
            const std::string s = FReader.ReadStr().str();
            if (!IsDottedIdent(s)) Invalid("bad identifier '" + s + "'");
            FOut += s;
            break;
        }
        case vaFalse:
            FOut += "False";
            break;
        case vaTrue:
            FOut += "True";
            break;
        case vaNil:
            FOut += "nil";
            break;
        case vaBinary: {
            int32_t n = Raw<int32_t>();
            if (n < 0 || n > FReader.Remaining()) Invalid("binary length " + std::to_string(n));
            FOut += '{';
            ++FLevel;
            uint8_t chunk[kBytesPerLine];
            while (n > 0) {
                NewLine();
                const int part = std::min<int>(n, static_cast<int>(kBytesPerLine));
                FReader.Read(chunk, part);
                for (int i = 0; i < part; ++i) {
                    FOut += kHex[chunk[i] >> 4];
                    FOut += kHex[chunk[i] & 15];
                }
                n -= part;
            }
            --FLevel;
            FOut += '}';
            break;
        }
        case vaSet: {
            FOut += '[';
            bool first = true;
            for (std::string s = FReader.ReadStr().str(); !s.empty(); s = FReader.ReadStr().str()) {
                if (!IsIdent(s)) Invalid("bad set element '" + s + "'");
                if (!first) FOut += ", ";
                FOut += s;
                first = false;
            }
            FOut += ']';
            break;
        }
        case vaCollection:
            Enter();
            FOut += '<';
            ++FLevel;
            while (!FReader.EndOfList()) {
                NewLine();
                FOut += "item";
                const TValueType next = FReader.NextValue();
                if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                    FOut += " [" + std::to_string(FReader.ReadInteger()) + "]";
                FOut += "\r\n";
                if (FReader.ReadValue() != vaList) Invalid("collection item expected");
                ++FLevel;
                while (!FReader.EndOfList())
                    ConvertProperty();
                FReader.ReadListEnd();
                --FLevel;
                Indent();
                FOut += "end";
            }
            FReader.ReadListEnd();
            --FLevel;
            FOut += '>';
            --FDepth;
            break;
        }
    }
};

class TTextToBinary {
public:
    TTextToBinary(const std::string& Text, TWriter& Writer) : FText(Text), FWriter(Writer) {}

    size_t Run() {
        FWriter.WriteSignature();
        SkipSpace();
        ParseObject();
        SkipSpace();
        return FPos;
    }

private:
    const std::string& FText;
    TWriter& FWriter;
    size_t FPos = 0;
    int FLine = 1;
    int FDepth = 0;

    [[noreturn]] void Fail(const std::string& what) const {
        throw EReadError("Line " + std::to_string(FLine) + ": " + what);
    }
    char Peek(size_t ahead = 0) const {
        return FPos + ahead < FText.size() ? FText[FPos + ahead] : '\0';
    }
    bool AtEnd() const { return FPos >= FText.size(); }
    void SkipSpace() {
        while (!AtEnd()) {
            const char c = FText[FPos];
            if (c == '\n')
                ++FLine;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++FPos;
        }
    }
    void Expect(char c) {
        SkipSpace();
        if (Peek() != c) Fail(std::string("'") + c + "' expected");
        ++FPos;
    }
    std::string Symbol() {
        SkipSpace();
        if (!IsIdentStart(Peek())) Fail("identifier expected");
        const size_t start = FPos;
        while (IsIdentChar(Peek()))
            ++FPos;
        return FText.substr(start, FPos - start);
    }
    std::string DottedSymbol() {
        std::string s = Symbol();
        while (Peek() == '.') {
            ++FPos;
            s += '.';
            s += Symbol();
        }
        return s;
    }
    void Enter() {
        if (++FDepth > kMaxDepth) Fail("nested too deep");
    }
    // The keyword at the cursor, unless it is the name of a property ("end = 1").
    bool KeywordIs(const char* keyword) {
        SkipSpace();
        const size_t len = std::strlen(keyword);
        if (FPos + len > FText.size() || IsIdentChar(Peek(len))) return false;
        for (size_t i = 0; i < len; ++i)
            if (std::tolower(static_cast<unsigned char>(FText[FPos + i])) != keyword[i])
                return false;
        size_t p = FPos + len;
        while (p < FText.size() &&
               (FText[p] == ' ' || FText[p] == '\t' || FText[p] == '\r' || FText[p] == '\n'))
            ++p;
        return p >= FText.size() || (FText[p] != '=' && FText[p] != '.');
    }
    bool AtObject() { return KeywordIs("object") || KeywordIs("inherited") || KeywordIs("inline"); }

    void WriteName(const std::string& s) {
        if (s.size() > 255) Fail("name longer than 255 characters");
        FWriter.WriteStr(AnsiString(s));
    }

    int64_t Integer() {
        SkipSpace();
        const size_t start = FPos;
        bool neg = false;
        if (Peek() == '-' || Peek() == '+') {
            neg = Peek() == '-';
            ++FPos;
        }
        uint64_t v = 0;
        const int base = Peek() == '$' ? 16 : 10;
        if (base == 16) ++FPos;
        const size_t digits = FPos;
        while (std::isxdigit(static_cast<unsigned char>(Peek())) &&
               (base == 16 || std::isdigit(static_cast<unsigned char>(Peek())))) {
            const char c = Peek();
            const unsigned d = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
            if (v > (std::numeric_limits<uint64_t>::max() - d) / base) Fail("number too large");
            v = v * base + d;
            ++FPos;
        }
        if (FPos == digits) {
            FPos = start;
            Fail("number expected");
        }
        const uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max()) + (neg ? 1 : 0);
        if (v > limit) Fail("number too large");
        return neg ? static_cast<int64_t>(uint64_t(0) - v) : static_cast<int64_t>(v);
    }

    void ParseObject() {
        Enter();
        const std::string keyword = Symbol();
        TFilerFlags flags;
        if (SameText(AnsiString(keyword), "inherited"))
            flags << ffInherited;
        else if (SameText(AnsiString(keyword), "inline"))
            flags << ffInline;
        else if (!SameText(AnsiString(keyword), "object"))
            Fail("'object' expected");
        std::string name = Symbol(), cls;
        SkipSpace();
        if (Peek() == ':') {
            ++FPos;
            cls = Symbol();
        } else {
            cls = name;
            name.clear();
        }
        int64_t childPos = 0;
        SkipSpace();
        if (Peek() == '[') {
            ++FPos;
            childPos = Integer();
            if (childPos < INT32_MIN || childPos > INT32_MAX) Fail("child position out of range");
            Expect(']');
            flags << ffChildPos;
        }
        // A longer name's length byte would read as component flags.
        if (cls.size() >= 0xF0) Fail("class name longer than 239 characters");
        FWriter.WritePrefix(flags, static_cast<int>(childPos));
        WriteName(cls);
        WriteName(name);
        while (!KeywordIs("end") && !AtObject()) {
            if (AtEnd()) Fail("'end' expected");
            ParseProperty();
        }
        FWriter.WriteListEnd();
        while (AtObject())
            ParseObject();
        if (!KeywordIs("end")) Fail("'end' expected");
        FPos += 3;
        FWriter.WriteListEnd();
        --FDepth;
    }

    void ParseProperty() {
        WriteName(DottedSymbol());
        Expect('=');
        ParseValue();
    }

    void ParseValue(bool InList = false) {
        SkipSpace();
        const char c = Peek();
        if (c == '-' && IsIdentStart(Peek(1))) {
            ++FPos;
            if (!SpecialFloat(Symbol(), true)) Fail("number expected");
        } else if (c == '-' || c == '+' || c == '$' ||
                   std::isdigit(static_cast<unsigned char>(c))) {
            ParseNumber();
        } else if (c == '\'' || c == '#') {
            ParseString();
        } else if (c == '[') {
            ParseSet();
        } else if (c == '(') {
            ++FPos;
            Enter();
            FWriter.WriteListBegin();
            while (true) {
                SkipSpace();
                if (Peek() == ')') break;
                if (AtEnd()) Fail("')' expected");
                ParseValue(true);
            }
            ++FPos;
            FWriter.WriteListEnd();
            --FDepth;
        } else if (c == '{') {
            ParseBinary();
        } else if (c == '<') {
            ParseCollection();
        } else if (IsIdentStart(c)) {
            const std::string s = DottedSymbol();
            // The binary form would read it as the list's end and misread the rest.
            if (InList && SameText(AnsiString(s), "Null")) Fail("Null inside a list");
            if (!SpecialFloat(s, false)) {
                if (s.size() > 255) Fail("identifier longer than 255 characters");
                FWriter.WriteIdent(AnsiString(s));
            }
        } else {
            Fail("value expected");
        }
    }

    // INF and NAN (with a sign when Negative), as extended, single ("s") or date ("d").
    bool SpecialFloat(const std::string& Name, bool Negative) {
        const std::string base = Name.substr(0, 3);
        const char suffix = Name.size() == 4 ? static_cast<char>(Name[3] | 0x20) : 0;
        if ((base != "INF" && base != "NAN") || Name.size() > 4 ||
            (Name.size() == 4 && suffix != 's' && suffix != 'd'))
            return false;
        const bool inf = base == "INF";
        const double d = inf ? std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::quiet_NaN();
        if (suffix == 's') {
            const float f = static_cast<float>(d);
            FWriter.WriteSingle(Negative ? -f : f);
        } else if (suffix == 'd') {
            FWriter.WriteDate(Negative ? -d : d);
        } else {
            uint8_t ext[10];
            DoubleToExtended(Negative ? -d : d, ext);
            FWriter.WriteExtended(ext);
        }
        return true;
    }

    // "$" four hex digits "." sixteen: an extended's bytes as they are.
    bool RawExtended() {
        size_t p = FPos + 1;
        while (p < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[p])))
            ++p;
        if (p >= FText.size() || FText[p] != '.') return false;
        const size_t dot = p++;
        while (p < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[p])))
            ++p;
        if (p < FText.size() && IsIdentChar(FText[p])) Fail("invalid number");
        uint8_t ext[10];
        const std::string_view text(FText);
        if (!RawToExtended(text.substr(FPos + 1, dot - FPos - 1), text.substr(dot + 1, p - dot - 1),
                           ext))
            Fail("invalid number");
        FWriter.WriteExtended(ext);
        FPos = p;
        return true;
    }

    void ParseNumber() {
        const size_t start = FPos;
        if (Peek() == '$' && RawExtended()) return;
        if (Peek() == '$' || ((Peek() == '-' || Peek() == '+') && Peek(1) == '$')) {
            FWriter.WriteInteger(Integer());
            return;
        }
        size_t p = FPos;
        if (FText[p] == '-' || FText[p] == '+') ++p;
        auto digits = [&] {
            const size_t from = p;
            while (p < FText.size() && std::isdigit(static_cast<unsigned char>(FText[p])))
                ++p;
            return p - from;
        };
        if (digits() == 0) Fail("number expected");
        bool isFloat = false;
        if (p < FText.size() && FText[p] == '.') {
            ++p;
            digits();
            isFloat = true;
        }
        if (p < FText.size() && (FText[p] == 'e' || FText[p] == 'E')) {
            ++p;
            if (p < FText.size() && (FText[p] == '+' || FText[p] == '-')) ++p;
            if (digits() == 0) Fail("exponent expected");
            isFloat = true;
        }
        const size_t end = p;
        char suffix = 0;
        if (p < FText.size() && std::strchr("sScCdD", FText[p]) && FText[p] != 0) {
            suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(FText[p])));
            ++p;
        }
        if (p < FText.size() && IsIdentChar(FText[p])) Fail("invalid number");
        FPos = p;
        if (!isFloat && !suffix) {
            FPos = start;
            FWriter.WriteInteger(Integer());
            return;
        }
        const char* first = FText.data() + start + (FText[start] == '+' ? 1 : 0);
        const char* last = FText.data() + end;
        if (suffix == 'c') {
            FWriter.WriteCurrency(Currency(first, last));
        } else if (suffix == 's') {
            float v;
            const auto r = std::from_chars(first, last, v);
            if (r.ec != std::errc() || r.ptr != last) Fail("invalid number");
            FWriter.WriteSingle(v);
        } else if (suffix == 'd') {
            double v;
            const auto r = std::from_chars(first, last, v);
            if (r.ec != std::errc() || r.ptr != last) Fail("invalid number");
            FWriter.WriteDate(v);
        } else {
            uint8_t ext[10];
            if (!DecimalToExtended(std::string_view(first, static_cast<size_t>(last - first)), ext))
                Fail("invalid number");
            FWriter.WriteExtended(ext);
        }
    }

    // Exact for plain decimals; exponents go through a double.
    int64_t Currency(const char* first, const char* last) {
        const std::string s(first, last);
        if (s.find_first_of("eE") != std::string::npos) {
            double v;
            const auto r = std::from_chars(first, last, v);
            const double scaled = std::round(v * 10000.0);
            if (r.ec != std::errc() || !(std::fabs(scaled) < 9.2e18)) Fail("invalid currency");
            return static_cast<int64_t>(scaled);
        }
        bool neg = false;
        size_t i = 0;
        if (s[i] == '-') neg = true, ++i;
        unsigned __int128 v = 0;
        int decimals = -1;
        bool roundUp = false;
        for (; i < s.size(); ++i) {
            if (s[i] == '.') {
                decimals = 0;
                continue;
            }
            const int d = s[i] - '0';
            if (decimals >= 4) {
                if (decimals == 4) roundUp = d >= 5;
                ++decimals;
                continue;
            }
            v = v * 10 + static_cast<unsigned>(d);
            if (decimals >= 0) ++decimals;
            if (v > (static_cast<unsigned __int128>(1) << 64)) Fail("currency too large");
        }
        for (int d = std::max(decimals, 0); d < 4; ++d)
            v *= 10;
        if (roundUp) ++v;
        const unsigned __int128 limit = static_cast<unsigned __int128>(INT64_MAX) + (neg ? 1 : 0);
        if (v > limit) Fail("currency too large");
        return neg ? static_cast<int64_t>(-static_cast<__int128>(v)) : static_cast<int64_t>(v);
    }

    void ParseString() {
        std::string bytes;
        std::u16string units;
        bool wide = false;
        while (true) {
            const char c = Peek();
            if (c == '\'') {
                ++FPos;
                while (true) {
                    if (AtEnd() || Peek() == '\r' || Peek() == '\n') Fail("unterminated string");
                    const char q = FText[FPos++];
                    if (q == '\'') {
                        if (Peek() != '\'') break;
                        ++FPos;
                    }
                    bytes += q;
                    units += AnsiCharToUnicode(static_cast<unsigned char>(q));
                }
            } else if (c == '#') {
                ++FPos;
                const int64_t code = Integer();
                if (code < 0 || code > 0xFFFF) Fail("character code out of range");
                if (code > 0xFF) wide = true;
                bytes += static_cast<char>(code & 0xFF);
                units += static_cast<char16_t>(code);
            } else {
                break;
            }
            // Parts join when adjacent, or across lines with a '+'.
            if (Peek() == '\'' || Peek() == '#') continue;
            const size_t save = FPos;
            const int saveLine = FLine;
            SkipSpace();
            if (Peek() != '+') {
                FPos = save;
                FLine = saveLine;
                break;
            }
            ++FPos;
            SkipSpace();
            if (Peek() != '\'' && Peek() != '#') Fail("string expected");
        }
        if (wide)
            FWriter.WriteWideString(units);
        else
            FWriter.WriteString(AnsiString(std::move(bytes)));
    }

    void ParseSet() {
        ++FPos;
        FWriter.WriteValue(vaSet);
        SkipSpace();
        if (Peek() != ']') {
            while (true) {
                WriteName(Symbol());
                SkipSpace();
                if (Peek() == ']') break;
                Expect(',');
            }
        }
        ++FPos;
        FWriter.WriteStr(AnsiString());
    }

    void ParseBinary() {
        ++FPos;
        std::string bytes;
        int high = -1;
        while (true) {
            SkipSpace();
            const char c = Peek();
            if (c == '}') break;
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
                d = (c | 0x20) - 'a' + 10;
            else
                Fail("'}' expected");
            ++FPos;
            if (high < 0) {
                high = d;
            } else {
                bytes += static_cast<char>(high << 4 | d);
                high = -1;
            }
        }
        ++FPos;
        if (high >= 0) Fail("odd number of hex digits");
        if (bytes.size() > INT32_MAX) Fail("binary value too large");
        const int32_t n = static_cast<int32_t>(bytes.size());
        FWriter.WriteValue(vaBinary);
        FWriter.Write(&n, 4);
        FWriter.Write(bytes.data(), n);
    }

    void ParseCollection() {
        ++FPos;
        Enter();
        FWriter.WriteValue(vaCollection);
        while (true) {
            SkipSpace();
            if (Peek() == '>') break;
            if (!SameText(AnsiString(Symbol()), "item")) Fail("'item' expected");
            SkipSpace();
            if (Peek() == '[') {
                ++FPos;
                const int64_t order = Integer();
                if (order < INT32_MIN || order > INT32_MAX) Fail("item index out of range");
                FWriter.WriteInteger(order);
                Expect(']');
            }
            FWriter.WriteListBegin();
            while (!KeywordIs("end")) {
                if (AtEnd()) Fail("'end' expected");
                ParseProperty();
            }
            FPos += 3;
            FWriter.WriteListEnd();
        }
        ++FPos;
        FWriter.WriteListEnd();
        --FDepth;
    }
};

} // namespace

void ObjectBinaryToText(TStream* Input, TStream* Output) {
    TBinaryToText(Input, Output).Run();
}

void ObjectTextToBinary(TStream* Input, TStream* Output) {
    const int64_t start = Input->Position();
    const int64_t size = Input->Size() - start;
    if (size <= 0) throw EReadError("Line 1: 'object' expected");
    std::string text(static_cast<size_t>(size), '\0');
    int64_t got = 0;
    while (got < size) {
        const int part = static_cast<int>(std::min<int64_t>(size - got, 1 << 30));
        Input->ReadBuffer(text.data() + got, part);
        got += part;
    }
    TWriter writer(Output);
    const size_t used = TTextToBinary(text, writer).Run();
    writer.FlushBuffer();
    Input->SetPosition(start + static_cast<int64_t>(used));
}
