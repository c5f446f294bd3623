#pragma once
// File and folder names between the program, which holds them as Windows-1252
// like every AnsiString, and the system, which names files in UTF-8. Every
// place the platform hands a name to the system or takes one back goes
// through this pair.
#include "platform/rtl/exceptions.h"
#include <string>

// A name from the system that the program cannot hold; the message names it.
QM_DECLARE_EXCEPTION(EFileNameError, EInOutError)

// The system's name for Name. Every Windows-1252 name has one.
std::string SystemFileName(const AnsiString& Name);
// The program's name for a name the system gave. Raises EFileNameError when
// Windows-1252 cannot hold it (or it is no UTF-8): such a name is refused,
// never passed on under other bytes, which would name another file.
AnsiString ProgramFileName(const std::string& Name);
// As ProgramFileName, false instead of raising.
bool TryProgramFileName(const std::string& Name, AnsiString& Out);
// The refusal's message; the characters that cannot be shown appear as '?'.
AnsiString UnusableFileNameText(const std::string& Name);
