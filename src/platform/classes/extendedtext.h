#pragma once
// 10-byte extended floats as decimal text and back, exactly, for the text form
// of component streams.
#include <cstdint>
#include <string>
#include <string_view>

// Text that reads back (DecimalToExtended, or the names and the raw form below)
// to the same ten bytes:
//   a value a double holds exactly: the double's shortest digits ("0.1", "1E20");
//   any other finite value: 18 to 21 significant digits, the fewest that read back;
//   INF, -INF, NAN, -NAN: the infinities and the quiet NaN a double would give;
//   any other encoding (NaN payloads, unnormals, pseudo-denormals): the raw form,
//   "$" sign and exponent "." mantissa in hex ("$7FFF.C000000000000001").
std::string ExtendedToText(const uint8_t In[10]);

// A decimal number ("-12.5", "1E-4000"; no names, no raw form) to the nearest
// extended. Up to 17 significant digits it goes through the nearest double, as
// such texts have always read; more digits give the nearest extended itself.
// False when the text is not such a number or its value is out of range
// (a nonzero value too small for the format counts as out of range).
bool DecimalToExtended(std::string_view Text, uint8_t Out[10]);

// Shortest digits that read back exactly ("0.1", "1E20", "-2.0"), INF, -INF, NAN.
std::string ShortestText(double Value);
std::string ShortestText(float Value);

// The raw form's two hex fields: 4 digits of sign and exponent, 16 of mantissa.
bool RawToExtended(std::string_view SignExp, std::string_view Mantissa, uint8_t Out[10]);
