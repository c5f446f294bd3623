#pragma once
// Wide and UTF-8 text inside component streams, to and from the Windows-1252
// bytes every AnsiString holds.
#include "platform/rtl/ansistring.h"
#include <string>

// False for malformed input (bad sequences, overlong forms, surrogates).
bool Utf8ToUtf16(const std::string& In, std::u16string& Out);
// Characters Windows-1252 lacks become '?'.
AnsiString Utf16ToAnsi(const std::u16string& In);
// The Unicode character of a Windows-1252 byte.
char16_t AnsiCharToUnicode(unsigned char C);
