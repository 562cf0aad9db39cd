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
    int n = ParseCommandLine({"/prog", "/clean", "file.png", "-Min", "--clean", "-"}, words);
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
    EXPECT_EQ(ActionFor({"-"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"clean"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({}), StartAction::Normal);
}

TEST(CommandLine, FilePathsAreNotSwitches)
{
    // Another "/" in the word, or an existing file or folder, makes a path.
    EXPECT_EQ(ActionFor({"/usr/share/doc/readme.txt"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/media/slides.pdf"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/usr"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/"}), StartAction::Normal);
    EXPECT_EQ(ActionFor({"/usr/bin", "/m"}), StartAction::Hidden);
    // "-" never starts a path, and a word naming nothing stays a switch.
    EXPECT_EQ(ActionFor({"-usr/x"}), StartAction::Quit);
    EXPECT_EQ(ActionFor({"/uninstall-lumicue-nowhere"}), StartAction::Quit);
}

TEST(CommandLine, LongOptionsAndTheirPrecedence)
{
    const auto option = [](const QStringList& args, QString* unknown = nullptr) {
        return GetLongOption(QStringList{QStringLiteral("lumicue")} + args, unknown);
    };
    EXPECT_EQ(option({"/m", "--", "-x"}), LongOption::None);
    EXPECT_EQ(option({"--on", "--off"}), LongOption::On);
    EXPECT_EQ(option({"--toggle", "--version", "--help"}), LongOption::Help);
    EXPECT_EQ(option({"--off", "--version"}), LongOption::Version);

    QString unknown;
    EXPECT_EQ(option({"--help", "--clean"}, &unknown), LongOption::Unknown);
    EXPECT_EQ(unknown, QStringLiteral("--clean"));
    EXPECT_EQ(option({"--help=1"}), LongOption::Unknown);
    EXPECT_EQ(option({"--Toggle"}), LongOption::Unknown);
}

TEST(CommandLine, UnknownOptionsArePrintedWithTheirControlCharactersEscaped)
{
    QString unknown;
    ASSERT_EQ(GetLongOption({"lumicue", QStringLiteral("--\x1b]0;owned\x07\x1b[2J\u202e\x7f\u00e9")}, &unknown),
              LongOption::Unknown);
    EXPECT_EQ(PrintableArgument(unknown), QStringLiteral("--\\x1b]0;owned\\x07\\x1b[2J\\u202e\\x7f\u00e9"));
}
