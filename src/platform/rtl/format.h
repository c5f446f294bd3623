#pragma once
// Format: the platform's printf-like formatting over a list of variant-like
// arguments, e.g. Format("%d %s", {3, "abc"}).
#include "platform/rtl/ansistring.h"
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

// One argument of Format: an integer, a floating-point value or a string.
class TVarRec {
public:
    enum TKind { vtInteger, vtInt64, vtExtended, vtString };

    // Integers of up to 32 bits format like the platform's Integer (so "%x"
    // of -1 is "FFFFFFFF"); wider ones like Int64.
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) TVarRec(T v)
        : FKind(sizeof(T) <= 4 ? vtInteger : vtInt64), FInt(static_cast<int64_t>(v)) {}
    template <typename T>
    requires std::is_enum_v<T> TVarRec(T v)
        : FKind(sizeof(T) <= 4 ? vtInteger : vtInt64), FInt(static_cast<int64_t>(v)) {}
    TVarRec(double v) : FKind(vtExtended), FFloat(v) {}
    TVarRec(long double v) : FKind(vtExtended), FFloat(static_cast<double>(v)) {}
    TVarRec(char c) : FKind(vtString), FString(c) {}
    TVarRec(const char* s) : FKind(vtString), FString(s) {}
    TVarRec(const AnsiString& s) : FKind(vtString), FString(s) {}
    TVarRec(const std::string& s) : FKind(vtString), FString(s) {}
    TVarRec(bool) = delete; // no format letter takes a boolean

    TKind Kind() const { return FKind; }
    bool IsInteger() const { return FKind == vtInteger || FKind == vtInt64; }
    int64_t AsInteger() const { return FInt; }
    double AsFloat() const { return IsInteger() ? static_cast<double>(FInt) : FFloat; }
    const AnsiString& AsString() const { return FString; }

private:
    TKind FKind;
    int64_t FInt = 0;
    double FFloat = 0;
    AnsiString FString;
};

// "%" ["index:"] ["-"] [width] ["." precision] letter, width, precision and
// index also as "*" (taken from the arguments); "%%" is a percent sign.
//   d u x  integers ("x" upper case; precision = minimum digits)
//   e f g n m  floats (exponent, fixed, general, grouped, currency); integers
//              are accepted too. Default precision: e g 15, f n 2, m CurrencyDecimals
//   s  strings and characters (precision = maximum length)
// Raises EConvertError for a bad format, a missing or an unsuitable argument.
AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args);
AnsiString Format(const AnsiString& format, const std::vector<TVarRec>& args);
