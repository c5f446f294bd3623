#pragma once
// Number and hex text conversions of the instrument protocols: digits in any
// base 2..36, hex pairs to characters and back, 6-bit packed ASCII and the
// 24-bit identification number. Conversions that overflow their byte or word
// raise ERangeError, as the run-time's range checks do.
#include "platform/rtl/ansistring.h"
#include <cstdint>

// base raised to exponent; 0 when base < 1.
double POWER(int base, int exponent);

// value written with exactly `digits` digits of `base` (a leading digit that
// does not fit is dropped).
AnsiString NTOC(double value, uint8_t base, uint8_t digits);
// Inverse of NTOC; a character outside the digit table counts as -1.
int CTON(const AnsiString& text, uint8_t base);

// "414243" -> "ABC" and back.
AnsiString HEX_ASCII(const AnsiString& hex);
AnsiString ASCII_HEX(const AnsiString& text);

// Six hex digits (three packed bytes) per four 6-bit characters; "-1" for a
// text whose length is not a multiple of six.
AnsiString Packed_to_ASCII(const AnsiString& hex);
AnsiString ASCII_to_Packed(const AnsiString& text);

// Compresses an identification number into six hex digits. Returns true when
// the number was refused (first character an excluded letter).
bool Komp_Hart_Nr(const AnsiString& number, AnsiString& result);
