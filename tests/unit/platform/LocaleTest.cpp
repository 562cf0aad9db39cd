// The user's language id from the POSIX locale variables.
#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

TEST(LocaleTest, MapsLocaleNamesToWindowsIds)
{
    EXPECT_EQ(LangIdFromLocaleName("en_US.UTF-8"), 1033);
    EXPECT_EQ(LangIdFromLocaleName("de_DE.UTF-8"), 1031);
    EXPECT_EQ(LangIdFromLocaleName("de_AT@euro"), 3079);
    EXPECT_EQ(LangIdFromLocaleName("fr_FR.ISO-8859-1"), 1036);
    EXPECT_EQ(LangIdFromLocaleName("zh_CN.GB18030"), 2052);
    EXPECT_EQ(LangIdFromLocaleName("zh_TW.UTF-8"), 1028);
    EXPECT_EQ(LangIdFromLocaleName("pt_BR"), 1046);
    // Odd spelling and case as some systems give them.
    EXPECT_EQ(LangIdFromLocaleName("DE-de"), 1031);
    // Territory unknown for the language, or none: the language's usual id.
    EXPECT_EQ(LangIdFromLocaleName("de_BE.UTF-8"), 1031);
    EXPECT_EQ(LangIdFromLocaleName("zh"), 2052);
    // No language at all.
    for (const char* name : {"C", "POSIX", "C.UTF-8", "", "xx_YY", "@", "_"})
        EXPECT_EQ(LangIdFromLocaleName(name), 1033) << name;
}

class LocaleEnvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* var : kVars) {
            const char* v = std::getenv(var);
            saved.push_back(v ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(var);
        }
    }
    void TearDown() override
    {
        for (size_t i = 0; i < std::size(kVars); ++i) {
            if (saved[i])
                setenv(kVars[i], saved[i]->c_str(), 1);
            else
                unsetenv(kVars[i]);
        }
    }

    static constexpr const char* kVars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved;
};

TEST_F(LocaleEnvTest, TakesTheFirstNonEmptyVariable)
{
    EXPECT_EQ(GetUserDefaultLangID(), 1033);
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 1036);
    setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 1031);
    setenv("LC_ALL", "", 1); // empty counts as unset
    EXPECT_EQ(GetUserDefaultLangID(), 1031);
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 2052);
    setenv("LC_ALL", "C", 1); // set, and it says: no language
    EXPECT_EQ(GetUserDefaultLangID(), 1033);
}

} // namespace
