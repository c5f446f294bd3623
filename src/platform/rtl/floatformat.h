#pragma once
// Floating-point values as text: the general, exponent, fixed, number and
// currency forms (FloatToStr, FloatToStrF) and picture formats (FormatFloat).
// Digits come from the value's first 15 significant decimal digits and are
// rounded half away from zero; a value that rounds to zero never shows "-".
#include "platform/rtl/ansistring.h"
#include "platform/rtl/formatsettings.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General form with 15 significant digits: "1234.5", "1E20", "1.5E-7".
AnsiString FloatToStr(double value);

// `precision`: significant digits (2..18; a double carries 15).
// `digits`: decimals for ffFixed, ffNumber and ffCurrency (0..18); the minimum
// number of exponent digits for ffGeneral and ffExponent (0..4). A fixed form
// whose integer part has more than `precision` digits comes out in general form.
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// Picture format: up to three sections "positive;negative;zero" of
// "0" (digit), "#" (optional digit), "." (decimal separator), "," (grouping),
// "E+" "E-" "e+" "e-" (exponent, followed by its minimum digits as "0", at
// most 4), and literals in '...' or "...". An empty format or an empty
// positive section gives FloatToStr, and so does a value with more than 18
// integer digits in a picture without exponent.
AnsiString FormatFloat(const AnsiString& format, double value);
