#include "platform/rtl/format.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/floatformat.h"
#include <cctype>
#include <cstdlib>

namespace {
// Widths and precisions beyond this are taken for a broken format rather
// than allocated.
constexpr int MaxField = 1 << 20;

[[noreturn]] void Invalid(const AnsiString& format) {
    throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

[[noreturn]] void NoArgument(const AnsiString& format) {
    throw EConvertError("No argument for format '" + format + "'");
}

std::string Digits(uint64_t v, unsigned base, int minDigits) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v % base]);
        v /= base;
    } while (v != 0);
    if (int(s.size()) < minDigits) s.insert(0, size_t(minDigits) - s.size(), '0');
    return s;
}

// The value as the unsigned pattern of its own width (32 bits for Integer).
uint64_t UnsignedPattern(const TVarRec& a) {
    const int64_t v = a.AsInteger();
    if (v < 0 && a.Kind() == TVarRec::vtInteger) return static_cast<uint32_t>(v);
    return static_cast<uint64_t>(v);
}

class TFormatter {
public:
    TFormatter(const AnsiString& format, const TVarRec* args, size_t count)
        : FFormat(format), F(format.str()), FArgs(args), FCount(count) {}

    AnsiString Run() {
        for (FPos = 0; FPos < F.size(); ++FPos) {
            if (F[FPos] != '%') {
                FOut += F[FPos];
                continue;
            }
            if (++FPos >= F.size()) Invalid(FFormat);
            if (F[FPos] == '%') {
                FOut += '%';
                continue;
            }
            Conversion();
        }
        return AnsiString(std::move(FOut));
    }

private:
    const TVarRec& NextArgument() {
        if (FNext >= FCount) NoArgument(FFormat);
        return FArgs[FNext++];
    }

    // A number or "*" at the current position; false when there is neither.
    bool ReadNumber(int& n) {
        if (FPos < F.size() && F[FPos] == '*') {
            const TVarRec& a = NextArgument();
            if (!a.IsInteger()) Invalid(FFormat);
            if (a.AsInteger() > MaxField || a.AsInteger() < -MaxField) Invalid(FFormat);
            n = static_cast<int>(a.AsInteger());
            ++FPos;
            return true;
        }
        if (FPos >= F.size() || !std::isdigit(static_cast<unsigned char>(F[FPos]))) return false;
        long v = 0;
        while (FPos < F.size() && std::isdigit(static_cast<unsigned char>(F[FPos]))) {
            v = v * 10 + (F[FPos++] - '0');
            if (v > MaxField) Invalid(FFormat);
        }
        n = static_cast<int>(v);
        return true;
    }

    void Conversion() {
        bool left = false;
        bool zeros = F[FPos] == '0';
        int number = 0;
        bool haveNumber = ReadNumber(number);
        if (haveNumber && FPos < F.size() && F[FPos] == ':') {
            // A negative index from "*" finds no argument.
            FNext = number < 0 ? FCount : static_cast<size_t>(number);
            ++FPos;
            haveNumber = false;
        }
        if (!haveNumber) {
            if (FPos < F.size() && F[FPos] == '-') {
                left = true;
                ++FPos;
            }
            zeros = FPos < F.size() && F[FPos] == '0';
            haveNumber = ReadNumber(number);
        }
        int width = -1;
        if (haveNumber) {
            if (number < 0) left = true; // "*" with a negative width
            width = number < 0 ? -number : number;
        }
        int precision = -1;
        if (FPos < F.size() && F[FPos] == '.') {
            ++FPos;
            if (!ReadNumber(precision)) precision = 0;
        }
        if (FPos >= F.size()) Invalid(FFormat);
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(F[FPos])));
        std::string text = Convert(letter, NextArgument(), precision);
        // "%04d" pads numbers with zeros after the sign, as dates and times are written.
        if (zeros && !left && width > int(text.size()) && letter != 'S' && letter != 'M') {
            const size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
            text.insert(at, size_t(width) - text.size(), '0');
        }
        if (width > int(text.size())) {
            const std::string pad(size_t(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        FOut += text;
    }

    std::string Convert(char letter, const TVarRec& a, int precision) {
        switch (letter) {
        case 'D': {
            if (!a.IsInteger()) Invalid(FFormat);
            const int64_t v = a.AsInteger();
            const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : uint64_t(v);
            return (v < 0 ? "-" : "") + Digits(magnitude, 10, precision);
        }
        case 'U':
            if (!a.IsInteger()) Invalid(FFormat);
            return Digits(UnsignedPattern(a), 10, precision);
        case 'X':
            if (!a.IsInteger()) Invalid(FFormat);
            return Digits(UnsignedPattern(a), 16, precision);
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M': {
            if (a.Kind() == TVarRec::vtString) Invalid(FFormat);
            const double v = a.AsFloat();
            switch (letter) {
            case 'E':
                return FloatToStrF(v, ffExponent, precision < 0 ? 15 : precision, 3).str();
            case 'G':
                return FloatToStrF(v, ffGeneral, precision < 0 ? 15 : precision, 3).str();
            case 'F':
                return FloatToStrF(v, ffFixed, 18, precision < 0 ? 2 : precision).str();
            case 'N':
                return FloatToStrF(v, ffNumber, 18, precision < 0 ? 2 : precision).str();
            default:
                return FloatToStrF(v, ffCurrency, 18, precision < 0 ? CurrencyDecimals : precision)
                    .str();
            }
        }
        case 'S': {
            if (a.Kind() != TVarRec::vtString) Invalid(FFormat);
            const std::string& s = a.AsString().str();
            return precision >= 0 && size_t(precision) < s.size() ? s.substr(0, size_t(precision))
                                                                  : s;
        }
        default:
            Invalid(FFormat);
        }
    }

    const AnsiString& FFormat;
    const std::string& F;
    const TVarRec* FArgs;
    size_t FCount;
    size_t FPos = 0;
    size_t FNext = 0;
    std::string FOut;
};
} // namespace

AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args) {
    return TFormatter(format, args.begin(), args.size()).Run();
}

AnsiString Format(const AnsiString& format, const std::vector<TVarRec>& args) {
    return TFormatter(format, args.data(), args.size()).Run();
}
