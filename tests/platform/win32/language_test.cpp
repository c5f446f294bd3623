// The system's language from the locale the environment names.
#include "platform/win32/language.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

TEST(Language, PrimaryLanguageOfLocaleNames) {
    const struct {
        const char* Name;
        WORD Primary;
    } cases[] = {
        {"ja_JP.UTF-8", LANG_JAPANESE},
        {"ja", LANG_JAPANESE},
        {"JA_jp", LANG_JAPANESE},
        {"ja_JP.eucJP@x", LANG_JAPANESE},
        {"en_US.UTF-8", LANG_ENGLISH},
        {"de_DE@euro", 0x07},
        {"pt_BR", 0x16},
        {"nb_NO.UTF-8", 0x14},
        {"zh-CN", 0x04},
        {"C", LANG_NEUTRAL},
        {"C.UTF-8", LANG_NEUTRAL},
        {"POSIX", LANG_NEUTRAL},
        {"", LANG_NEUTRAL},
        {"jav_ID", LANG_NEUTRAL},
        {"xx_YY", LANG_NEUTRAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrimaryLanguageOfLocale(c.Name), c.Primary) << c.Name;
}

// Sets (or, with nullptr, removes) the variables for one test and restores them.
class LocaleEnvironment : public ::testing::Test {
protected:
    static constexpr const char* Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> Saved[3];
    LocaleEnvironment() {
        for (int i = 0; i < 3; ++i)
            if (const char* v = std::getenv(Names[i])) Saved[i] = v;
    }
    ~LocaleEnvironment() override {
        for (int i = 0; i < 3; ++i)
            Set(i, Saved[i] ? Saved[i]->c_str() : nullptr);
    }
    static void Set(int i, const char* Value) {
        if (Value)
            setenv(Names[i], Value, 1);
        else
            unsetenv(Names[i]);
    }
};

TEST_F(LocaleEnvironment, TheFirstSetVariableDecides) {
    const struct {
        const char *All, *Messages, *Lang;
        LANGID Expected;
    } cases[] = {
        {"ja_JP.UTF-8", "en_US", "de_DE", 0x0411},
        {"", "ja_JP", "de_DE", 0x0411}, // an empty variable counts as unset
        {nullptr, nullptr, "ja_JP.UTF-8", 0x0411},
        {nullptr, nullptr, "en_GB", 0x0409},
        {"C", nullptr, "ja_JP", 0x0000},
        {nullptr, nullptr, nullptr, 0x0000},
    };
    for (const auto& c : cases) {
        Set(0, c.All);
        Set(1, c.Messages);
        Set(2, c.Lang);
        EXPECT_EQ(GetSystemDefaultLangID(), c.Expected)
            << (c.All ? c.All : "-") << " " << (c.Messages ? c.Messages : "-") << " "
            << (c.Lang ? c.Lang : "-");
    }
    EXPECT_EQ(PRIMARYLANGID(0x0411), LANG_JAPANESE);
}

} // namespace
