// The command line on a real X server: long options and clear failures that
// need no display, and the program installed under a prefix, started with
// toolkit options and controlled with --toggle, --on, --off and --status.
#include "DisplayFixture.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class CommandLineTest : public CDisplayFixture {
protected:
    // Starts argv in the test's environment with these changes: "NAME=value"
    // replaces the variable, a bare "NAME" removes it.
    CChildProcess& Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& changes = {})
    {
        CChildProcess::Options start;
        start.argv = argv;
        start.env = ProgramEnvironment({});
        for (const std::string& change : changes) {
            const std::string name = change.substr(0, change.find('=')) + "=";
            std::erase_if(start.env, [&](const std::string& v) { return v.starts_with(name); });
            if (change.find('=') != std::string::npos)
                start.env.push_back(change);
        }
        start.strLogPath = (dir.LogDir() / ("run-" + std::to_string(programs.size() + 1) + ".log")).string();
        programs.push_back(std::make_unique<CChildProcess>());
        EXPECT_TRUE(programs.back()->bStart(start)) << "cannot start " << argv[0];
        return *programs.back();
    }

    // Runs the program to its end; answers the exit code and leaves stdout
    // and stderr in strOutput.
    int nRun(const std::vector<std::string>& args, const std::vector<std::string>& changes = {})
    {
        std::vector<std::string> argv{(installed.empty() ? dir.ProgramPath() : installed).string()};
        argv.insert(argv.end(), args.begin(), args.end());
        CChildProcess& process = Spawn(argv, changes);
        const int nCode = nWaitExit(process);
        strOutput = process.strLogText();
        return nCode;
    }

    std::string strStatus()
    {
        const int nCode = nRun({"--status"});
        return nCode == 0 ? strOutput : "exit " + std::to_string(nCode) + ": " + strOutput;
    }

    bool bOverlayShown(bool bShown)
    {
        return bWaitFor([&] { return (x.FindOverlay() != None) == bShown; });
    }

    std::string strOutput;
    fs::path installed;  // the program to run; empty: the fixture's copy
};

TEST_F(CommandLineTest, LongOptionsAndFailuresNeedNoDisplay)
{
    fs::create_directories(dir.AutostartFile().parent_path());
    std::ofstream(dir.AutostartFile()) << "[Desktop Entry]\n";

    EXPECT_EQ(nRun({"--version"}, {"DISPLAY"}), 0);
    EXPECT_EQ(strOutput, "Lumicue 1.0.0\n");
    EXPECT_EQ(nRun({"/m", "--help"}, {"DISPLAY"}), 0);
    EXPECT_TRUE(strOutput.starts_with("Usage: lumicue")) << strOutput;
    // The switches keep their meaning: "--clean" is no "/clean".
    EXPECT_EQ(nRun({"--clean"}, {"DISPLAY"}), 2);
    EXPECT_NE(strOutput.find("Usage: lumicue"), std::string::npos) << strOutput;
    EXPECT_TRUE(fs::exists(dir.AutostartFile()));

    const std::string strNeeds = "Lumicue needs an X11 display: ";
    EXPECT_EQ(nRun({}, {"DISPLAY"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "DISPLAY is not set\n");
    EXPECT_EQ(nRun({"/m"}, {"DISPLAY", "WAYLAND_DISPLAY=wayland-0"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "this Wayland session has no XWayland (DISPLAY is not set)\n");
    EXPECT_EQ(nRun({}, {"DISPLAY=:4093"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "cannot open display \":4093\"\n");

    EXPECT_EQ(strStatus(), "exit 1: Lumicue is not running; start it first.\n");
    EXPECT_EQ(nRun({"--toggle"}), 1);
    EXPECT_EQ(x.FindWindowByTitle(szMainTitle), None) << "nothing may be left running";
}

TEST_F(CommandLineTest, InstalledProgramRunsFromItsPrefixAndObeysTheControlOptions)
{
    // Its own component manifest, so that the packaging check may install
    // from the same build at the same time.
    const fs::path prefix = dir.Root() / "usr";
    const fs::path build = fs::path(LUMICUE_PROGRAM).parent_path();
    CChildProcess& install = Spawn({"cmake", "--install", build.string(), "--prefix", prefix.string(),
                                    "--component", "Unspecified"});
    ASSERT_EQ(nWaitExit(install, 60), 0) << install.strLogText();
    installed = prefix / "bin" / "lumicue";
    // No option file: a first start takes the first installed picture.
    fs::remove(dir.OptionFile());

    // The toolkit's own options are the user's words, never the toolkit's:
    // it would abort on this display and this platform.
    CChildProcess& first = Spawn({installed.string(), "/m", "-display", ":77", "-platform", "none"},
                                 {"LANG=de_DE.UTF-8"});
    Window w = None;
    ASSERT_TRUE(bWaitFor([&] {
        w = x.FindWindowByTitle(szMainTitle, first.Pid());
        return (w != None && x.bSeenUnmapped(w)) || first.bExited();
    }));
    ASSERT_FALSE(first.bExited()) << first.strLogText();

    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_TRUE(bOverlayShown(true)) << "--on showed no picture: none found in share/lumicue/pointer";
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_EQ(strStatus(), "on\n") << "--on must leave a pointer that is on alone";
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_TRUE(bOverlayShown(false)) << "--toggle left the overlay";
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_TRUE(bOverlayShown(true));
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_TRUE(bOverlayShown(false));
    EXPECT_EQ(nRun({"/u"}), 0);
    EXPECT_EQ(nWaitExit(first), 0);

    // The German language file was found in share/lumicue/Language.
    std::ifstream config(dir.DataDir() / "Config.ini");
    const std::string text((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Language=1031"), std::string::npos) << text;
}
