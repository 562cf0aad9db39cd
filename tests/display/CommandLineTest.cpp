// The command line on a real X server: long options and clear failures that
// need no display, the toolkit kept away from the arguments, the control of a
// running instance with --toggle, --on, --off and --status, and the program
// installed under a prefix.
#include "OptionRecord.h"
#include "PointerOnFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class CommandLineTest : public CPointerOnFixture {
protected:
    using Env = std::vector<std::string>;

    // Starts argv (the program when argv[0] is empty) in the test's
    // environment, changed by edit.
    CChildProcess& Spawn(std::vector<std::string> argv, const std::function<void(Env&)>& edit = {})
    {
        CChildProcess::Options start;
        if (argv.empty() || argv[0].empty())
            argv.insert(argv.begin(), installed.empty() ? dir.ProgramPath().string() : installed.string());
        std::erase(argv, std::string());
        start.argv = argv;
        start.env = ProgramEnvironment({});
        if (edit)
            edit(start.env);
        start.strLogPath = (dir.LogDir() / ("run-" + std::to_string(programs.size() + 1) + ".log")).string();
        programs.push_back(std::make_unique<CChildProcess>());
        EXPECT_TRUE(programs.back()->bStart(start)) << "cannot start " << argv[0];
        return *programs.back();
    }

    // Runs the program to its end; answers the exit code and leaves stdout
    // and stderr in strOutput.
    int nRun(const std::vector<std::string>& args, const std::function<void(Env&)>& edit = {})
    {
        std::vector<std::string> argv{""};
        argv.insert(argv.end(), args.begin(), args.end());
        CChildProcess& process = Spawn(argv, edit);
        const int nCode = nWaitExit(process);
        strOutput = process.strLogText();
        return nCode;
    }

    // The environment without DISPLAY, plus the given variables.
    static std::function<void(Env&)> WithoutDisplay(const Env& add = {})
    {
        return [add](Env& env) {
            std::erase_if(env, [](const std::string& v) { return v.starts_with("DISPLAY="); });
            env.insert(env.end(), add.begin(), add.end());
        };
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

    EXPECT_EQ(nRun({"--version"}, WithoutDisplay()), 0);
    EXPECT_EQ(strOutput, "Lumicue 1.0.0\n");
    EXPECT_EQ(nRun({"/m", "--help"}, WithoutDisplay()), 0);
    EXPECT_TRUE(strOutput.starts_with("Usage: lumicue")) << strOutput;
    // The switches keep their meaning: "--clean" is no "/clean".
    EXPECT_EQ(nRun({"--clean"}, WithoutDisplay()), 2);
    EXPECT_NE(strOutput.find("Usage: lumicue"), std::string::npos) << strOutput;
    EXPECT_TRUE(fs::exists(dir.AutostartFile()));

    const std::string strNeeds = "Lumicue needs an X11 display: ";
    EXPECT_EQ(nRun({}, WithoutDisplay()), 1);
    EXPECT_EQ(strOutput, strNeeds + "DISPLAY is not set\n");
    EXPECT_EQ(nRun({"/m"}, WithoutDisplay({"WAYLAND_DISPLAY=wayland-0"})), 1);
    EXPECT_EQ(strOutput, strNeeds + "this Wayland session has no XWayland (DISPLAY is not set)\n");
    EXPECT_EQ(nRun({}, WithoutDisplay({"DISPLAY=:4093"})), 1);
    EXPECT_EQ(strOutput, strNeeds + "cannot open display \":4093\"\n");
    // Nothing was left running, and the lock is free.
    EXPECT_NE(StartMainWindow(), None);
}

TEST_F(CommandLineTest, TheToolkitNeverReadsTheArguments)
{
    // "-display" is the switch word "display", which selects nothing: the
    // program starts on $DISPLAY instead of the toolkit aborting on ":77".
    CChildProcess* first = nullptr;
    EXPECT_NE(StartMainWindow(&first, {"-display", ":77", "-platform", "none"}), None) << first->strLogText();
    EXPECT_EQ(nRunToEnd({"/u"}), 0);
    EXPECT_EQ(nWaitExit(*first), 0);
}

TEST_F(CommandLineTest, ControlOptionsSwitchTheRunningInstance)
{
    EXPECT_EQ(strStatus(), "exit 1: Lumicue is not running; start it first.\n");
    EXPECT_EQ(nRun({"--toggle"}), 1);
    EXPECT_EQ(x.FindWindowByTitle(szMainTitle), None) << "a control option must never start Lumicue";

    vStart(CTestPicture(32, 32, kRed));
    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_TRUE(bOverlayShown(true)) << "--on showed no overlay";
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_EQ(strStatus(), "on\n") << "--on must leave a pointer that is on alone";
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_TRUE(bOverlayShown(false)) << "--toggle left the overlay";
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_EQ(strStatus(), "on\n");
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_TRUE(bOverlayShown(false));
    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_FALSE(program->bExited());
    vExitInOrder();
}

TEST_F(CommandLineTest, InstalledProgramFindsItsDataUnderThePrefix)
{
    // Its own component manifest, so that the packaging check may install
    // from the same build at the same time.
    const fs::path prefix = dir.Root() / "usr";
    const fs::path build = fs::path(LUMICUE_PROGRAM).parent_path();
    CChildProcess& install = Spawn({"cmake", "--install", build.string(), "--prefix", prefix.string(),
                                    "--component", "Unspecified"});
    ASSERT_EQ(nWaitExit(install, 60), 0) << install.strLogText();
    installed = prefix / "bin" / "lumicue";
    fs::path picture;
    for (const auto& entry : fs::directory_iterator(prefix / "share" / "lumicue" / "pointer"))
        if (entry.path().extension() == ".png")
            picture = entry.path();
    ASSERT_FALSE(picture.empty()) << "no picture installed";
    COptionRecord record;
    record.strPointerFile = picture.string();
    fs::create_directories(dir.DataDir());
    ASSERT_TRUE(record.bWrite(dir.OptionFile().string()));

    const auto german = [](Env& env) {
        std::erase_if(env, [](const std::string& v) { return v.starts_with("LANG="); });
        env.push_back("LANG=de_DE.UTF-8");
    };
    CChildProcess& first = Spawn({"", "/m"}, german);
    Window w = None;
    ASSERT_TRUE(bWaitFor([&] {
        w = x.FindWindowByTitle(szMainTitle, first.Pid());
        return (w != None && x.bSeenUnmapped(w)) || first.bExited();
    }));
    ASSERT_FALSE(first.bExited()) << first.strLogText();
    EXPECT_EQ(nRun({"--on"}), 0) << strOutput;
    EXPECT_TRUE(bOverlayShown(true)) << "the installed program showed no picture";
    EXPECT_EQ(nRun({"/u"}), 0);
    EXPECT_EQ(nWaitExit(first), 0);

    // The German language file was found in share/lumicue/Language.
    std::ifstream config(dir.DataDir() / "Config.ini");
    const std::string text((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Language=1031"), std::string::npos) << text;
}
