// Version strings and text splitting.
#include "update/FSysAssist.h"

#include <gtest/gtest.h>

TEST(FSysAssist, SplitTextKeepsLeadingAndDoubledSeparatorsButNoTrailingPart)
{
    CFSysAssist sys;
    auto split = [&](const QString& text) {
        QStringList parts;
        sys.SplitText(text, ", ", parts);
        return parts;
    };
    EXPECT_EQ(split("1, 0, 0, 0"), (QStringList{"1", "0", "0", "0"}));
    EXPECT_EQ(split(", a"), (QStringList{"", "a"}));
    EXPECT_EQ(split("a, "), (QStringList{"a"}));
    EXPECT_EQ(split("a, , b"), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(split("").isEmpty());
}

TEST(FSysAssist, VersionStringsOfTheProgramOnly)
{
    CFSysAssist sys;
    QString name, internal, version;
    ASSERT_TRUE(sys.GetVersionStrings(nullptr, nullptr, name, internal, version));
    EXPECT_EQ(name, "Lumicue");
    EXPECT_EQ(internal, "Lumicue");
    EXPECT_EQ(version, "1, 0, 0, 0");
    const QString other = "/etc/hostname";
    EXPECT_FALSE(sys.GetVersionStrings(&other, nullptr, name, internal, version));
}
