#include "platform/win32/language.h"
#include <cctype>
#include <cstdlib>
#include <string>

namespace {

struct TLanguageCode {
    const char* Code; // ISO 639-1
    WORD Primary;
};

constexpr TLanguageCode Languages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
    {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
    {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
    {"nl", 0x13}, {"no", 0x14}, {"nb", 0x14}, {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16},
    {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D},
    {"th", 0x1E}, {"tr", 0x1F}, {"uk", 0x22}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26},
    {"lt", 0x27},
};

} // namespace

WORD PrimaryLanguageOfLocale(const AnsiString& LocaleName) {
    const std::string name = LocaleName.c_str();
    std::string code;
    for (char c : name) {
        if (c == '_' || c == '.' || c == '@' || c == '-') break;
        code += char(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const TLanguageCode& l : Languages)
        if (code == l.Code) return l.Primary;
    return LANG_NEUTRAL;
}

LANGID GetSystemDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        const WORD primary = PrimaryLanguageOfLocale(value);
        return MAKELANGID(primary, primary == LANG_NEUTRAL ? SUBLANG_NEUTRAL : SUBLANG_DEFAULT);
    }
    return MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
}
