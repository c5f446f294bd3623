#pragma once
// Conversions between numbers and text. Also brings in float formatting,
// Format, dates and the format settings, so callers include one header.
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include <concepts>
#include <cstdint>

AnsiString IntToStr(int64_t v);
// Upper-case hex digits, at least `digits` wide. A negative value shows the
// bit pattern of its own width: IntToHex(-1, 2) of an int is "FFFFFFFF".
AnsiString IntToHex(int64_t v, int digits);
template <std::integral T>
requires(sizeof(T) <= 4) AnsiString IntToHex(T v, int digits) {
    return IntToHex(int64_t(static_cast<uint32_t>(v)), digits);
}
// Decimal, or hex with a leading "0x", "0X" or "$", after any leading blanks;
// nothing may follow the digits. Raises EConvertError.
int StrToInt(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int def);
int64_t StrToInt64(const AnsiString& s);
int64_t StrToInt64Def(const AnsiString& s, int64_t def);
bool TryStrToInt(const AnsiString& s, int& value);

// Floats use the current DecimalSeparator (and no grouping): "-1,5E3" with ','.
// Blanks before and after are allowed. Raises EConvertError.
double StrToFloat(const AnsiString& s);
double StrToFloatDef(const AnsiString& s, double def);
bool TryStrToFloat(const AnsiString& s, double& value);
