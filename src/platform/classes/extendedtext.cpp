// Exact conversions between 10-byte extended floats and decimal text.
//   TBig                    the few unsigned big-number operations both ways need
//   ShortestText            doubles and singles in their shortest digits
//   ExtendedToText          digits by long division, the fewest of 18..21 that read back
//   DecimalToExtended       a decimal to the nearest extended, half to even
#include "platform/classes/extendedtext.h"
#include "platform/classes/filer.h"
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kExpBias = 16383;
constexpr int kMinNormalExp = 1 - kExpBias;    // exponent of the smallest normal's leading bit
constexpr int kLowestBit = kMinNormalExp - 63; // exponent of a denormal's lowest bit
constexpr uint64_t kTopBit = uint64_t(1) << 63;
constexpr uint64_t kQuietNaN = uint64_t(3) << 62;
// Digits a double's shortest text never exceeds; longer texts are read as extendeds.
constexpr int kDoubleDigits = 17;
// Enough to decide the rounding of any decimal (a denormal's halfway point has
// about 11,500 significant digits); longer numbers are refused.
constexpr size_t kMaxDigits = 12000;

// Unsigned integer of any size, 32-bit limbs from the lowest, no leading zero limb.
class TBig {
public:
    TBig() = default;
    explicit TBig(uint64_t V) {
        for (; V; V >>= 32)
            FLimbs.push_back(static_cast<uint32_t>(V));
    }
    bool IsZero() const { return FLimbs.empty(); }
    size_t BitLength() const {
        return FLimbs.empty() ? 0 : 32 * FLimbs.size() - std::countl_zero(FLimbs.back());
    }
    // this = this * M + A
    void MulAdd(uint32_t M, uint32_t A = 0) {
        uint64_t carry = A;
        for (uint32_t& x : FLimbs) {
            const uint64_t t = uint64_t(x) * M + carry;
            x = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (carry) FLimbs.push_back(static_cast<uint32_t>(carry));
        Trim();
    }
    // Powers of ten are powers of five and shifts: the numbers stay a third smaller.
    void MulPow5(int N) {
        static const uint32_t kPow[] = {1,       5,        25,        125,       625,
                                        3125,    15625,    78125,     390625,    1953125,
                                        9765625, 48828125, 244140625, 1220703125};
        for (; N >= 13; N -= 13)
            MulAdd(kPow[13]);
        if (N > 0) MulAdd(kPow[N]);
    }
    void ShiftLeft(size_t Bits) {
        if (IsZero() || Bits == 0) return;
        const unsigned b = Bits % 32;
        if (b) {
            uint32_t carry = 0;
            for (uint32_t& x : FLimbs) {
                const uint32_t next = x >> (32 - b);
                x = (x << b) | carry;
                carry = next;
            }
            if (carry) FLimbs.push_back(carry);
        }
        FLimbs.insert(FLimbs.begin(), Bits / 32, 0);
    }
    void ShiftRight1() {
        for (size_t i = 0; i < FLimbs.size(); ++i)
            FLimbs[i] = (FLimbs[i] >> 1) | (i + 1 < FLimbs.size() ? FLimbs[i + 1] << 31 : 0);
        Trim();
    }
    // this -= B, for B <= this.
    void Subtract(const TBig& B) {
        int64_t borrow = 0;
        for (size_t i = 0; i < FLimbs.size(); ++i) {
            int64_t t = int64_t(FLimbs[i]) - (i < B.FLimbs.size() ? B.FLimbs[i] : 0) - borrow;
            borrow = t < 0;
            if (borrow) t += int64_t(1) << 32;
            FLimbs[i] = static_cast<uint32_t>(t);
        }
        Trim();
    }
    friend int Compare(const TBig& A, const TBig& B) {
        if (A.FLimbs.size() != B.FLimbs.size()) return A.FLimbs.size() < B.FLimbs.size() ? -1 : 1;
        for (size_t i = A.FLimbs.size(); i-- > 0;)
            if (A.FLimbs[i] != B.FLimbs[i]) return A.FLimbs[i] < B.FLimbs[i] ? -1 : 1;
        return 0;
    }

private:
    void Trim() {
        while (!FLimbs.empty() && FLimbs.back() == 0)
            FLimbs.pop_back();
    }
    std::vector<uint32_t> FLimbs;
};

template <typename F> std::string Shortest(F V) {
    if (std::isnan(V)) return std::signbit(V) ? "-NAN" : "NAN";
    if (std::isinf(V)) return V < 0 ? "-INF" : "INF";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, V);
    std::string s(buf, res.ptr);
    const size_t e = s.find('e');
    if (e != std::string::npos)
        return s.substr(0, e) + "E" + std::to_string(std::stoi(s.substr(e + 1)));
    if (s.find('.') == std::string::npos) s += ".0";
    return s;
}

void Store(bool Negative, int Exp, uint64_t Mant, uint8_t Out[10]) {
    const uint16_t se = static_cast<uint16_t>((Negative ? 0x8000 : 0) | Exp);
    std::memcpy(Out, &Mant, 8);
    std::memcpy(Out + 8, &se, 2);
}

std::string RawText(uint16_t SignExp, uint64_t Mant) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s = "$";
    for (int i = 12; i >= 0; i -= 4)
        s += kHex[(SignExp >> i) & 15];
    s += '.';
    for (int i = 60; i >= 0; i -= 4)
        s += kHex[(Mant >> i) & 15];
    return s;
}

// The first 22 significant digits of Mant * 2^Exp2 (Mant > 0), the decimal
// exponent of the first, and whether anything is left after them.
std::string LongDigits(uint64_t Mant, int Exp2, int& Exp10, bool& Rest) {
    Exp10 = static_cast<int>(
        std::floor(std::log10(static_cast<double>(Mant)) + Exp2 * 0.30102999566398120));
    // r / s = Mant * 2^Exp2 / 10^Exp10
    TBig r(Mant), s(1);
    if (Exp10 >= 0)
        s.MulPow5(Exp10);
    else
        r.MulPow5(-Exp10);
    const int twos = Exp2 - Exp10;
    if (twos >= 0)
        r.ShiftLeft(static_cast<size_t>(twos));
    else
        s.ShiftLeft(static_cast<size_t>(-twos));
    // The estimate may be one off either way: bring r / s into [1, 10).
    while (Compare(r, s) < 0) {
        r.MulAdd(10);
        --Exp10;
    }
    for (TBig s10 = s;; s = s10) {
        s10.MulAdd(10);
        if (Compare(r, s10) < 0) break;
        ++Exp10;
    }
    std::string digits;
    for (int i = 0; i < 22; ++i) {
        char d = '0';
        while (Compare(r, s) >= 0) {
            r.Subtract(s);
            ++d;
        }
        digits += d;
        r.MulAdd(10);
    }
    Rest = !r.IsZero();
    return digits;
}

// Digits rounded half to even to Count of them (the exponent moves on a carry).
std::string Rounded(const std::string& Digits, bool Rest, size_t Count, int& Exp10) {
    std::string r = Digits.substr(0, Count);
    const char next = Digits[Count];
    bool more = Rest;
    for (size_t i = Count + 1; i < Digits.size() && !more; ++i)
        more = Digits[i] != '0';
    const bool up = next > '5' || (next == '5' && (more || ((r.back() - '0') & 1)));
    if (!up) return r;
    size_t i = Count;
    while (i > 0 && r[i - 1] == '9')
        r[--i] = '0';
    if (i == 0) {
        r.insert(r.begin(), '1');
        r.pop_back();
        ++Exp10;
    } else {
        ++r[i - 1];
    }
    return r;
}

// Every digit is written, trailing zeros too: their count tells the reader
// that this is an extended's text.
std::string Format(bool Negative, const std::string& Digits, int Exp10) {
    std::string s = Negative ? "-" : "";
    const int n = static_cast<int>(Digits.size());
    if (Exp10 >= 0 && Exp10 < n - 1) {
        s += Digits.substr(0, static_cast<size_t>(Exp10) + 1) + "." +
             Digits.substr(static_cast<size_t>(Exp10) + 1);
    } else if (Exp10 < 0 && Exp10 >= -5) {
        s += "0." + std::string(static_cast<size_t>(-Exp10 - 1), '0') + Digits;
    } else {
        s += Digits.substr(0, 1) + "." + Digits.substr(1) + "E" + std::to_string(Exp10);
    }
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Nearest extended to Digits * 10^Exp10 (Digits without leading zeros, not empty).
bool NearestExtended(bool Negative, std::string_view Digits, int64_t Exp10, uint8_t Out[10]) {
    // Bounds first, so that no power of ten is built for a number far out of range.
    const int64_t magnitude = static_cast<int64_t>(Digits.size()) + Exp10; // value < 10^magnitude
    if (magnitude > 4933) return false;
    if (magnitude < -4952) return false;
    TBig n, d(1);
    for (size_t i = 0; i < Digits.size();) {
        uint32_t chunk = 0, scale = 1;
        for (int k = 0; k < 9 && i < Digits.size(); ++k, ++i) {
            chunk = chunk * 10 + static_cast<uint32_t>(Digits[i] - '0');
            scale *= 10;
        }
        n.MulAdd(scale, chunk);
    }
    // value = n / d * 2^Exp10
    if (Exp10 >= 0)
        n.MulPow5(static_cast<int>(Exp10));
    else
        d.MulPow5(static_cast<int>(-Exp10));
    // 2^top <= value < 2^(top + 1)
    int64_t top = static_cast<int64_t>(n.BitLength()) - static_cast<int64_t>(d.BitLength());
    {
        TBig a = n, b = d;
        if (top >= 0)
            b.ShiftLeft(static_cast<size_t>(top));
        else
            a.ShiftLeft(static_cast<size_t>(-top));
        if (Compare(a, b) < 0) --top;
    }
    top += Exp10;
    if (top > kExpBias) return false;
    int64_t low = top >= kMinNormalExp ? top - 63 : kLowestBit;
    // q = value / 2^low = a / b
    TBig a = n, b = d;
    if (Exp10 - low >= 0)
        a.ShiftLeft(static_cast<size_t>(Exp10 - low));
    else
        b.ShiftLeft(static_cast<size_t>(low - Exp10));
    // q = a / b < 2^64, bit by bit.
    uint64_t q = 0;
    TBig shifted = b;
    shifted.ShiftLeft(63);
    for (int i = 63; i >= 0; --i) {
        if (Compare(a, shifted) >= 0) {
            a.Subtract(shifted);
            q |= uint64_t(1) << i;
        }
        shifted.ShiftRight1();
    }
    a.ShiftLeft(1);
    const int half = Compare(a, b);
    if (half > 0 || (half == 0 && (q & 1))) {
        if (++q == 0) {
            q = kTopBit;
            ++low;
        }
    }
    if (q == 0) return false; // below half the smallest denormal
    int exp = 0;
    if (q & kTopBit) {
        exp = static_cast<int>(low + 63 + kExpBias);
        if (exp >= 0x7FFF) return false;
    }
    Store(Negative, exp, q, Out);
    return true;
}

} // namespace

std::string ShortestText(double Value) {
    return Shortest(Value);
}

std::string ShortestText(float Value) {
    return Shortest(Value);
}

std::string ExtendedToText(const uint8_t In[10]) {
    uint64_t mant;
    uint16_t se;
    std::memcpy(&mant, In, 8);
    std::memcpy(&se, In + 8, 2);
    const bool negative = se & 0x8000;
    const int exp = se & 0x7FFF;
    if (exp == 0x7FFF) {
        if (mant == kTopBit) return negative ? "-INF" : "INF";
        if (mant == kQuietNaN) return negative ? "-NAN" : "NAN";
        return RawText(se, mant);
    }
    // The integer bit must say whether the number is normal, or the value has
    // another encoding that a decimal would not bring back.
    if (((mant & kTopBit) != 0) != (exp != 0)) return RawText(se, mant);
    const double d = ExtendedToDouble(In);
    uint8_t back[10];
    DoubleToExtended(d, back);
    if (std::memcmp(back, In, 10) == 0) return ShortestText(d);
    int exp10 = 0;
    bool rest = false;
    const std::string digits = LongDigits(mant, (exp == 0 ? 1 : exp) - kExpBias - 63, exp10, rest);
    for (size_t count = kDoubleDigits + 1; count <= 21; ++count) {
        int e = exp10;
        const std::string text = Format(negative, Rounded(digits, rest, count, e), e);
        if (DecimalToExtended(text, back) && std::memcmp(back, In, 10) == 0) return text;
    }
    return RawText(se, mant); // not reached: 21 digits always read back
}

bool DecimalToExtended(std::string_view Text, uint8_t Out[10]) {
    size_t p = 0;
    const bool negative = p < Text.size() && Text[p] == '-';
    if (p < Text.size() && (Text[p] == '-' || Text[p] == '+')) ++p;
    const size_t numberStart = p;
    std::string digits;
    int64_t exp10 = 0;
    size_t seen = 0;
    for (; p < Text.size() && IsDigit(Text[p]); ++p, ++seen)
        if (!digits.empty() || Text[p] != '0') digits += Text[p];
    if (p < Text.size() && Text[p] == '.') {
        for (++p; p < Text.size() && IsDigit(Text[p]); ++p, ++seen) {
            if (!digits.empty() || Text[p] != '0') digits += Text[p];
            --exp10;
        }
    }
    if (seen == 0) return false;
    if (p < Text.size() && (Text[p] == 'e' || Text[p] == 'E')) {
        ++p;
        const bool expNegative = p < Text.size() && Text[p] == '-';
        if (p < Text.size() && (Text[p] == '-' || Text[p] == '+')) ++p;
        if (p == Text.size() || !IsDigit(Text[p])) return false;
        int64_t e = 0;
        for (; p < Text.size() && IsDigit(Text[p]); ++p)
            e = std::min<int64_t>(e * 10 + (Text[p] - '0'), 1000000000);
        exp10 += expNegative ? -e : e;
    }
    if (p != Text.size()) return false;
    if (digits.size() <= kDoubleDigits) {
        double v;
        const char* first = Text.data() + numberStart - (negative ? 1 : 0);
        const auto r = std::from_chars(first, Text.data() + Text.size(), v);
        if (r.ec != std::errc() || r.ptr != Text.data() + Text.size()) return false;
        DoubleToExtended(v, Out);
        return true;
    }
    // Trailing zeros only scale.
    while (digits.back() == '0') {
        digits.pop_back();
        ++exp10;
    }
    if (digits.size() > kMaxDigits) return false;
    return NearestExtended(negative, digits, exp10, Out);
}

bool RawToExtended(std::string_view SignExp, std::string_view Mantissa, uint8_t Out[10]) {
    if (SignExp.size() != 4 || Mantissa.size() != 16) return false;
    uint64_t se = 0, mant = 0;
    for (char c : SignExp) {
        const int h = HexValue(c);
        if (h < 0) return false;
        se = se << 4 | static_cast<unsigned>(h);
    }
    for (char c : Mantissa) {
        const int h = HexValue(c);
        if (h < 0) return false;
        mant = mant << 4 | static_cast<unsigned>(h);
    }
    Store(se & 0x8000, static_cast<int>(se & 0x7FFF), mant, Out);
    return true;
}
