// Switch words and the start action the first one selects.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

StartAction ActionFor(const QStringList& args)
{
    QStringList words;
    ParseCommandLine(QStringList{QStringLiteral("/usr/bin/lumicue")} + args, words);
    return GetStartAction(words);
}

} // namespace

TEST(CommandLine, CollectsSwitchWordsWithoutTheirMark)
{
    QStringList words;
    int n = ParseCommandLine({"/prog", "/clean", "file.png", "-Min", "--clean", "/"}, words);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(words, (QStringList{"clean", "Min", "-clean", ""}));
}

TEST(CommandLine, ProgramPathIsNeverASwitch)
{
    QStringList words;
    EXPECT_EQ(ParseCommandLine({"/u"}, words), 0);
}

TEST(CommandLine, EachSwitchSelectsItsAction)
{
    EXPECT_EQ(ActionFor({"/clean"}), StartAction::Clean);
    EXPECT_EQ(ActionFor({"-Clean"}), StartAction::Clean);
    EXPECT_EQ(ActionFor({"/cleanup"}), StartAction::Clean);
    EXPECT_EQ(ActionFor({"/u"}), StartAction::Quit);
    EXPECT_EQ(ActionFor({"-uninstall"}), StartAction::Quit);
    EXPECT_EQ(ActionFor({"/U"}), StartAction::Quit);
    EXPECT_EQ(ActionFor({"/m"}), StartAction::Hidden);
    EXPECT_EQ(ActionFor({"/min"}), StartAction::Hidden);
}

TEST(CommandLine, OnlyTheFirstSwitchCounts)
{
    EXPECT_EQ(ActionFor({"/x", "/clean"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/m", "/u"}), StartAction::Hidden);
    EXPECT_EQ(ActionFor({"C:/file.png", "/u"}), StartAction::Quit);
}

TEST(CommandLine, NearMissesSelectNothing)
{
    EXPECT_EQ(ActionFor({"--clean"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/clea"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"clean"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({}), StartAction::Normal);
}
