#pragma once
// The system's language as the platform's language identifiers: read from the
// locale the environment names (LC_ALL, then LC_MESSAGES, then LANG).
#include "platform/win32/kernel.h"

using LANGID = WORD;

constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD LANG_ENGLISH = 0x09;
constexpr WORD LANG_JAPANESE = 0x11;
constexpr WORD SUBLANG_NEUTRAL = 0x00;
constexpr WORD SUBLANG_DEFAULT = 0x01;

constexpr LANGID MAKELANGID(WORD Primary, WORD Sub) {
    return LANGID((Sub << 10) | Primary);
}
constexpr WORD PRIMARYLANGID(LANGID Lang) {
    return WORD(Lang & 0x3FF);
}

// The primary language of a locale name ("ja_JP.UTF-8", "de", "pt_BR@euro");
// LANG_NEUTRAL for "C", "POSIX", an empty name or a language not listed.
WORD PrimaryLanguageOfLocale(const AnsiString& LocaleName);
// The language of the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty (the default sublanguage); neutral when none is.
LANGID GetSystemDefaultLangID();
