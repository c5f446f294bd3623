#pragma once
// Conversions between numbers and text. Also brings in float formatting,
// Format, dates and the format settings, so callers include one header.
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include <cstdint>

AnsiString IntToStr(int64_t v);
// Upper-case hex digits, at least `digits` wide.
AnsiString IntToHex(int64_t v, int digits);
// Decimal, or hex with a leading "0x", "0X" or "$". Raises EConvertError.
int StrToInt(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int def);
int64_t StrToInt64(const AnsiString& s);
int64_t StrToInt64Def(const AnsiString& s, int64_t def);
bool TryStrToInt(const AnsiString& s, int& value);

// Floats use the current DecimalSeparator (and no grouping): "-1,5E3" with ','.
// Raises EConvertError.
double StrToFloat(const AnsiString& s);
double StrToFloatDef(const AnsiString& s, double def);
bool TryStrToFloat(const AnsiString& s, double& value);
