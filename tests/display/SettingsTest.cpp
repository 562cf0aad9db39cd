// Settings on a real X server: the global hotkey and a grab held by another
// client, and the option file as start, Hide, Escape and exit leave it.
#include "DisplayFixture.h"
#include "OptionRecord.h"
#include "TestPicture.h"

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The record of a first run: opacity 75, no picture, F8 alone.
const std::vector<uint8_t> kDefaultRecord = COptionRecord().Bytes();

} // namespace

class SettingsTest : public CDisplayFixture {
protected:
    // No shipped pictures: the Pointer page has none to put in place of an
    // empty picture path, so the record stays the default one.
    DisplaySetup Setup() const override { return {.bShippedPointers = false}; }

    // A picture to switch on, named in a prepared option file.
    void vPreparePointer()
    {
        CTestPicture picture(16, 16, 0xFFFF0000);
        const fs::path path = dir.PointerDir() / "dot-0.png";
        ASSERT_TRUE(picture.bWritePng(path.string()));
        COptionRecord record;
        record.nOpacity = 100;
        record.strPointerFile = path.string();
        fs::create_directories(dir.DataDir());
        ASSERT_TRUE(record.bWrite(dir.OptionFile().string()));
    }
};

TEST_F(SettingsTest, HotKeyReachesTheProgramWhileAnotherWindowHasTheFocus)
{
    vPreparePointer();
    ASSERT_NE(StartMainWindow(), None);
    Window other = x.CreateTestWindow({600, 400, 200, 150}, 0x808080);
    ASSERT_TRUE(x.bFocus(other));

    ASSERT_TRUE(x.bKey(XK_F8));
    Window overlay = None;
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; })) << "F8 did not switch the pointer on";
    EXPECT_EQ(x.nKeyPresses(other, XK_F8), 0) << "the grab must take F8 from the focused window";

    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(bWaitFor([&] { return !x.bIsViewable(overlay); })) << "F8 again did not switch it off";
}

TEST_F(SettingsTest, CombinationGrabbedByAnotherClientIsRefused)
{
    vPreparePointer();
    ASSERT_TRUE(x.bGrabKey(XK_F8, 0));
    CChildProcess* program = nullptr;
    ASSERT_NE(StartMainWindow(&program), None);
    Window other = x.CreateTestWindow({600, 400, 200, 150}, 0x808080);
    ASSERT_TRUE(x.bFocus(other));

    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(bWaitFor([&] { return x.nKeyPresses(x.Root(), XK_F8) == 1; })) << "the grab holder must get F8";

    // With the grab given up, F8 reaches the focused window: the program
    // holds no grab of its own, and the pointer never came on.
    x.vUngrabKey(XK_F8, 0);
    ASSERT_TRUE(x.bFocus(other));
    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(bWaitFor([&] { return x.nKeyPresses(other, XK_F8) == 1; }));
    ASSERT_EQ(nRunToEnd({}), 0);  // barrier: the program has seen every key by now
    EXPECT_EQ(x.FindOverlay(), None);
    EXPECT_FALSE(program->bExited());
}

TEST_F(SettingsTest, OptionFileAfterStartAndExitIsTheDefaultRecord)
{
    CChildProcess* program = nullptr;
    ASSERT_NE(StartMainWindow(&program), None);
    EXPECT_EQ(nRunToEnd({"/u"}), 0);
    ASSERT_EQ(nWaitExit(*program), 0);
    EXPECT_EQ(ReadBytes(dir.OptionFile()), kDefaultRecord);
}

TEST_F(SettingsTest, HideSavesAndEscapeDoesNot)
{
    CChildProcess* program = nullptr;
    Window w = StartMainWindow(&program);
    ASSERT_NE(w, None);
    fs::remove(dir.OptionFile());
    ASSERT_TRUE(fs::exists(dir.DataDir()));

    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(XK_Escape));
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); }));
    ASSERT_EQ(nRunToEnd({}), 0);  // barrier, and it shows the window again
    EXPECT_FALSE(fs::exists(dir.OptionFile())) << "Escape must not save";

    ASSERT_TRUE(bWaitFor([&] { return x.bIsViewable(w); }));
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(XK_Return));
    EXPECT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); }));
    ASSERT_TRUE(bWaitForFile(dir.OptionFile(), true)) << "Hide (Enter) must save";
    // The save is a rename of a complete file: whatever is there is whole.
    EXPECT_EQ(ReadBytes(dir.OptionFile()), kDefaultRecord);
}
