#pragma once
// Wide and UTF-8 text (component streams, the system's file names) to and
// from the Windows-1252 bytes every AnsiString holds.
#include "platform/rtl/ansistring.h"
#include <string>

// False for malformed input (bad sequences, overlong forms, surrogates).
bool Utf8ToUtf16(const std::string& In, std::u16string& Out);
// Characters Windows-1252 lacks become '?'.
AnsiString Utf16ToAnsi(const std::u16string& In);
// The Unicode character of a Windows-1252 byte.
char16_t AnsiCharToUnicode(unsigned char C);

// Every byte has a character, so this never fails and never loses a byte.
std::string AnsiToUtf8(const AnsiString& In);
// False when In is no valid UTF-8 or holds a character Windows-1252 lacks.
bool Utf8ToAnsi(const std::string& In, AnsiString& Out);
// For messages only: each such character, and each byte that is no UTF-8, as '?'.
AnsiString Utf8ToAnsiShown(const std::string& In);
