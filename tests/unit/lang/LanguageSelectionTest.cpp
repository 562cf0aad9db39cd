// Which language file becomes active, what Config.ini records, and the
// texts and font that follow from it.
#include "LanguageTestSupport.h"

#include "platform/storage/Ini.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using LanguageSelectionTest = LanguageFixture;

UINT ConfigLanguage(const QString& path)
{
    return GetPrivateProfileIntW(QStringLiteral("Main"), QStringLiteral("Language"), -1, path);
}

TEST_F(LanguageSelectionTest, UserLanguagePicksTheMatchingFileAndIsRecorded)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    AddFile("French.lng", "[Language]\nLanguage=1036\n[Text]\n100=Pointeur\n");
    const QString german = AddFile("German.LNG", "[Language]\nLanguage=1031\n[Text]\n100=Zeiger\n");
    AddFile("Decoy.txt", "[Language]\nLanguage=1031\n[Text]\n100=Falsch\n");
    ASSERT_TRUE(QDir(langDir->path()).mkdir("Folder.lng"));

    EXPECT_EQ(Init(), 1031u);
    EXPECT_EQ(g_szLangFile, german);
    EXPECT_EQ(g_strConfigFile, ConfigPath());
    EXPECT_EQ(ConfigLanguage(ConfigPath()), 1031u);
    EXPECT_EQ(GetLangText("100", "Pointer"), "Zeiger");
    EXPECT_EQ(GetLangText("101", "About"), "About");
}

TEST_F(LanguageSelectionTest, ConfigOverridesTheUserLanguageAndZeroMeansEnglish)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    AddFile("German.lng", "[Language]\nLanguage=1031\n[Text]\n100=Zeiger\n");
    AddFile("French.lng", "[Language]\nLanguage=1036\n[Text]\n100=Pointeur\n");
    AddFile("Zero.lng", "[Language]\nLanguage=0\n[Text]\n100=Null\n");

    WriteConfig("[main]\nlanguage=1036\n");
    EXPECT_EQ(Init(), 1036u);
    EXPECT_EQ(GetLangText("100", "Pointer"), "Pointeur");

    vResetLanguage();
    WriteConfig("[Main]\nLanguage=0\n");
    EXPECT_EQ(Init(), 0u);
    EXPECT_TRUE(g_szLangFile.isEmpty());
    EXPECT_EQ(GetLangText("100", "Pointer"), "Pointer");
    EXPECT_EQ(ReadConfig(), "[Main]\nLanguage=0\n"); // not rewritten
}

TEST_F(LanguageSelectionTest, FirstListedFileWinsAndIdsAreCutOnlyInConfig)
{
    // Created in reverse order: the listing order, by name, decides.
    AddFile("b.lng", "[Language]\nLanguage=1036\n[Text]\n100=B\n");
    const QString a = AddFile("a.lng", "[Language]\nLanguage=1036\n[Text]\n100=A\n");
    // 66572 = 65536 + 1036: only the configured id loses its high bits.
    AddFile("0wide.lng", "[Language]\nLanguage=66572\n[Text]\n100=Wide\n");
    WriteConfig("[Main]\nLanguage=66572\n");

    EXPECT_EQ(Init(), 1036u);
    EXPECT_EQ(g_szLangFile, a);
    EXPECT_EQ(GetLangText("100", ""), "A");
    EXPECT_EQ(ConfigLanguage(ConfigPath()), 1036u);
}

TEST_F(LanguageSelectionTest, BadInputLeavesEnglishOrTheUserLanguage)
{
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    AddFile("French.lng", "[Language]\nLanguage=1036\n");

    // A value that is not a number is 0: English, and nothing written.
    WriteConfig("[Main]\nLanguage=French\n");
    EXPECT_EQ(Init(), 0u);
    EXPECT_TRUE(g_szLangFile.isEmpty());
    EXPECT_EQ(ReadConfig(), "[Main]\nLanguage=French\n");

    // An unreadable Config.ini holds no choice: the user's language applies.
    vResetLanguage();
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) & 0xFF);
    WriteConfig(garbage);
    EXPECT_EQ(Init(), 1036u);
}

TEST_F(LanguageSelectionTest, NoMatchingFileKeepsEnglishAndWritesNothing)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    AddFile("Junk.lng", QByteArray("\xFF\xFE\x00\xD8[\x00", 6) + QByteArray(1000, '\x01'));
    AddFile("NotANumber.lng", "[Language]\nLanguage=German\n");
    AddFile("French.lng", "[Language]\nLanguage=1036\n");
    EXPECT_EQ(Init(), 0u);
    EXPECT_TRUE(g_szLangFile.isEmpty());
    EXPECT_FALSE(QFile::exists(ConfigPath()));

    // No language folder at all.
    vResetLanguage();
    const QString missing = QStringLiteral("no-such-language-folder");
    const QString config = configDir.path();
    EXPECT_EQ(InitLanguage(&missing, nullptr, &config), 0u);
    EXPECT_FALSE(QFile::exists(ConfigPath()));
}

TEST_F(LanguageSelectionTest, WithoutConfigFolderConfigLivesInTheLanguageFolder)
{
    setenv("LANG", "zh_CN.UTF-8", 1);
    unsetenv("LC_ALL");
    AddFile("Chinese.lng", "[Language]\nLanguage=2052\n");
    const QString ext = QStringLiteral(".lng");
    EXPECT_EQ(InitLanguage(&folder, &ext, nullptr), 2052u);
    EXPECT_EQ(g_strConfigFile, GetLangAppDir() + folder + QStringLiteral("/Config.ini"));
    EXPECT_EQ(ConfigLanguage(g_strConfigFile), 2052u);
}

TEST_F(LanguageSelectionTest, OtherExtensionsCanBeChosen)
{
    setenv("LC_ALL", "de_DE", 1);
    AddFile("German.lng", "[Language]\nLanguage=1031\n[Text]\n1=lng\n");
    AddFile("German.txt", "[Language]\nLanguage=1031\n[Text]\n1=txt\n");
    const QString ext = QStringLiteral(".txt");
    const QString config = configDir.path();
    EXPECT_EQ(InitLanguage(&folder, &ext, &config), 1031u);
    EXPECT_EQ(GetLangText("1", ""), "txt");
    EXPECT_EQ(g_strLangExt, ext);
}

TEST_F(LanguageSelectionTest, TextsAreTakenLiterallyAndCut)
{
    EXPECT_EQ(GetLangText("109", "Get More Custom Pointer Graphics "), "Get More Custom Pointer Graphics ");

    setenv("LC_ALL", "de_DE", 1);
    AddFile("German.lng", "[Language]\nLanguage=1031\n[Text]\n5=Zeile\\nZwei\n6=\n7=" + QByteArray(3000, 'x')
                              + "\n8= \"  gepolstert \" \n");
    ASSERT_EQ(Init(), 1031u);
    EXPECT_EQ(GetLangText("5", "Error"), "Zeile\\nZwei");
    EXPECT_EQ(GetLangText("6", "Empty"), "Empty");
    EXPECT_EQ(GetLangText("7", "").size(), 1023);
    EXPECT_EQ(GetLangText("8", ""), "  gepolstert ");
    EXPECT_EQ(GetLangText("999", "Fallback"), "Fallback");
}

TEST_F(LanguageSelectionTest, LanguageFontFollowsTheFile)
{
    EXPECT_EQ(nLangFontHeight(9, 96), -12);
    EXPECT_EQ(nLangFontHeight(8, 96), -11); // 10.67 rounds up
    EXPECT_EQ(nLangFontHeight(10, 120), -17);
    EXPECT_EQ(nLangFontHeight(-8, 96), 11);
    EXPECT_EQ(nLangFontHeight(8, 0), 0);

    setenv("LC_ALL", "de_DE", 1);
    AddFile("German.lng", "[Language]\nLanguage=1031\nFontName=DejaVu Sans Condensed With A Name Too Long\nFontSize=12\n");
    ASSERT_EQ(Init(), 1031u);
    ASSERT_TRUE(g_hLangFont.has_value());
    EXPECT_EQ(g_hLangFont->family(), QStringLiteral("DejaVu Sans Condensed With A Na")); // 31 characters
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    EXPECT_EQ(g_hLangFont->pixelSize(), -nLangFontHeight(12, dpi));

    // A name without a size leaves the height to the platform.
    vResetLanguage();
    AddFile("German.lng", "[Language]\nLanguage=1031\nFontName=Serif\nFontSize=0\n");
    ASSERT_EQ(Init(), 1031u);
    ASSERT_TRUE(g_hLangFont.has_value());
    EXPECT_EQ(g_hLangFont->pixelSize(), -1);

    // An absurd size is bounded, even one past the int range or at its
    // ends (no overflow to a tiny font); no name means no font.
    for (const char* size : {"100000", "2147483647", "-2147483648", "99999999999999999999", "4294967297"}) {
        vResetLanguage();
        AddFile("German.lng", QByteArray("[Language]\nLanguage=1031\nFontName=Serif\nFontSize=") + size + "\n");
        ASSERT_EQ(Init(), 1031u);
        EXPECT_EQ(g_hLangFont->pixelSize(), 256) << size;
    }
    AddFile("German.lng", "[Language]\nLanguage=1031\nFontSize=12\n");
    ApplyLanguage(1031);
    EXPECT_FALSE(g_hLangFont.has_value());
}

} // namespace
