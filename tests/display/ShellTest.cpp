// The shell on a real X server: single instance and its switches, hiding and
// restoring the main window, Exit, a killed instance, the German language.
#include "DisplayFixture.h"
#include "LangFile.h"
#include "res/ResourceIds.h"

#include <X11/keysym.h>

#include <signal.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class ShellTest : public CDisplayFixture {
protected:
    // A second start with no switch hands over to the first instance and
    // ends. It also serves as a barrier: once it has ended, the first
    // instance has handled every input sent before it.
    void vHandOver()
    {
        ASSERT_EQ(nRunToEnd({}), 0) << "a second start must end at once with code 0";
    }

    void vCreateAutostartEntry()
    {
        fs::create_directories(dir.AutostartFile().parent_path());
        std::ofstream(dir.AutostartFile()) << "[Desktop Entry]\nType=Application\nName=Lumicue\n";
        ASSERT_TRUE(fs::exists(dir.AutostartFile()));
    }

    // The key of the mnemonic in a button text ("&Beenden" gives 'b').
    static KeySym MnemonicKey(const std::string& strText)
    {
        size_t amp = strText.find('&');
        if (amp == std::string::npos || amp + 1 >= strText.size())
            return NoSymbol;
        unsigned char c = static_cast<unsigned char>(strText[amp + 1]);
        if (c >= 0x80)
            return NoSymbol;  // only ASCII mnemonics map to a key this simply
        return XK_a + (std::tolower(c) - 'a');
    }
};

TEST_F(ShellTest, StartShowsTheWindowAndUninstallSwitchEndsItInOrder)
{
    CChildProcess* first = nullptr;
    Window w = StartMainWindow(&first);
    ASSERT_NE(w, None) << "no viewable window titled \"Lumicue\"";
    TestRect rc;
    ASSERT_TRUE(x.bGeometry(w, rc));
    EXPECT_GT(rc.width, 200);
    EXPECT_GT(rc.height, 200);

    EXPECT_EQ(nRunToEnd({"/u"}), 0);
    EXPECT_EQ(nWaitExit(*first), 0) << "/u must end the running instance through its close sequence";
    EXPECT_TRUE(bWaitFor([&] { return !x.bExists(w); }));
    // Nothing was reported: without a tray host the log holds only that.
    EXPECT_TRUE(fs::exists(dir.DataDir()));
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(dir.DataDir() / "Log", ec)) {
        std::ifstream in(file.path());
        for (std::string line; std::getline(in, line);)
            EXPECT_NE(line.find("No notification area runs"), std::string::npos) << line;
    }
}

TEST_F(ShellTest, UninstallSwitchWithoutInstanceDoesNothing)
{
    EXPECT_EQ(nRunToEnd({"-uninstall"}), 0);
    EXPECT_EQ(x.FindWindowByTitle(szMainTitle), None);
}

TEST_F(ShellTest, SecondStartRaisesTheFirstAndEnds)
{
    CChildProcess* first = nullptr;
    Window w = StartMainWindow(&first);
    ASSERT_NE(w, None);
    vHandOver();
    EXPECT_FALSE(first->bExited());
    EXPECT_TRUE(x.bIsViewable(w));
}

TEST_F(ShellTest, HiddenStartSwitchAndASecondStartRestores)
{
    CChildProcess& first = Launch({"/min", "/u"});  // only the first word counts
    Window w = None;
    // Shown, minimised and hidden in turn: mapped once, then unmapped.
    ASSERT_TRUE(bWaitFor([&] {
        w = x.FindWindowByTitle(szMainTitle, first.Pid());
        return (w != None && x.bSeenMapped(w) && x.bSeenUnmapped(w)) || first.bExited();
    })) << "the window was never shown and hidden";
    ASSERT_FALSE(first.bExited());
    vHandOver();
    EXPECT_TRUE(bWaitFor([&] { return x.bIsViewable(w); })) << "a second start must restore a hidden window";
}

TEST_F(ShellTest, CleanSwitchRemovesTheAutostartEntryAndEndsTheInstance)
{
    vCreateAutostartEntry();
    CChildProcess* first = nullptr;
    ASSERT_NE(StartMainWindow(&first), None);
    EXPECT_EQ(nRunToEnd({"-Cleanup"}), 0);
    EXPECT_EQ(nWaitExit(*first), 0);
    EXPECT_FALSE(fs::exists(dir.AutostartFile()));
}

TEST_F(ShellTest, CleanSwitchWithoutInstanceRemovesTheAutostartEntry)
{
    vCreateAutostartEntry();
    EXPECT_EQ(nRunToEnd({"/clean"}), 0);
    EXPECT_FALSE(fs::exists(dir.AutostartFile()));
    EXPECT_EQ(x.FindWindowByTitle(szMainTitle), None);
}

TEST_F(ShellTest, EscapeHidesAndASecondStartRestores)
{
    CChildProcess* first = nullptr;
    Window w = StartMainWindow(&first);
    ASSERT_NE(w, None);
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(XK_Escape));
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); })) << "Escape must hide the window";
    EXPECT_FALSE(first->bExited());
    vHandOver();
    EXPECT_TRUE(bWaitFor([&] { return x.bIsViewable(w); }));
}

TEST_F(ShellTest, ExitMnemonicEndsTheProgramAndReleasesTheLock)
{
    CChildProcess* first = nullptr;
    Window w = StartMainWindow(&first);
    ASSERT_NE(w, None);
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(XK_x, Mod1Mask));
    EXPECT_EQ(nWaitExit(*first), 0) << "Alt+X (\"E&xit\") must end the program";

    CChildProcess* next = nullptr;
    EXPECT_NE(StartMainWindow(&next), None) << "the lock of the ended instance must be free";
    EXPECT_FALSE(next->bExited());
}

TEST_F(ShellTest, KilledInstanceNeverBlocksTheNextStart)
{
    CChildProcess* first = nullptr;
    ASSERT_NE(StartMainWindow(&first), None);
    first->vSignalGroup(SIGKILL);
    ASSERT_NE(nWaitExit(*first), -1);

    CChildProcess* next = nullptr;
    Window w = StartMainWindow(&next);
    EXPECT_NE(w, None) << "the stale lock and socket must be taken over";
    EXPECT_FALSE(next->bExited());
}

TEST_F(ShellTest, GermanLanguageFileTranslatesTheWindow)
{
    CLangFile german;
    ASSERT_TRUE(german.bLoad((dir.LanguageDir() / "German.lng").string()));
    ASSERT_EQ(german.strValue("Language", "Language"), "1031");
    const std::string section = std::to_string(IDD_LUMICUE_MAIN);
    const std::string title = german.strValue(section, "0");
    const KeySym hideKey = MnemonicKey(german.strValue(section, std::to_string(IDOK)));
    const KeySym exitKey = MnemonicKey(german.strValue(section, std::to_string(IDC_EXIT)));
    ASSERT_FALSE(title.empty());
    ASSERT_NE(hideKey, NoSymbol);
    ASSERT_NE(exitKey, NoSymbol);
    ASSERT_NE(exitKey, static_cast<KeySym>(XK_x));

    LaunchOptions german_locale;
    german_locale.strLang = "de_DE.UTF-8";
    CChildProcess* first = nullptr;
    Window w = StartMainWindow(&first, {}, german_locale, title);
    ASSERT_NE(w, None) << "no window titled \"" << title << "\"";
    ASSERT_TRUE(x.bFocus(w));

    // The English mnemonic is gone...
    ASSERT_TRUE(x.bKey(XK_x, Mod1Mask));
    vHandOver();
    EXPECT_FALSE(first->bExited()) << "Alt+X must not end the German dialog";
    EXPECT_TRUE(x.bIsViewable(w));

    // ...the German ones work: Hide, then Exit.
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(hideKey, Mod1Mask));
    EXPECT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); })) << "the German Hide mnemonic must hide";
    vHandOver();
    ASSERT_TRUE(bWaitFor([&] { return x.bIsViewable(w); }));
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(exitKey, Mod1Mask));
    EXPECT_EQ(nWaitExit(*first), 0) << "the German Exit mnemonic must end the program";

    CLangFile config;
    ASSERT_TRUE(config.bLoad((dir.DataDir() / "Config.ini").string()));
    EXPECT_EQ(config.strValue("Main", "Language"), "1031");
}
