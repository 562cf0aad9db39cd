// The user's language id from the POSIX locale variables.
#include "platform/base/Locale.h"

#include "SavedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
    // Serbian: Cyrillic unless the modifier says Latin.
    EXPECT_EQ(LangIdFromLocaleName("sr_RS.UTF-8"), 10266);
    EXPECT_EQ(LangIdFromLocaleName("sr_RS.UTF-8@latin"), 9242);
    EXPECT_EQ(LangIdFromLocaleName("sr@latin"), 9242);
    EXPECT_EQ(LangIdFromLocaleName("de_DE@euro"), 1031);
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
    CSavedEnv env{{"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}, true};
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

TEST_F(LocaleEnvTest, LanguageListCountsUnlessTheLocaleIsC)
{
    setenv("LANGUAGE", "xx:fr_FR:de", 1); // the first known entry
    EXPECT_EQ(GetUserDefaultLangID(), 1033) << "no locale set is the C locale";
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 1033);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 1036);
    setenv("LANGUAGE", "xx", 1); // nothing known: the locale's own
    EXPECT_EQ(GetUserDefaultLangID(), 1031);
}

} // namespace
