// The overlay tests' common start, with the pointer switched on.
#include "PointerOnFixture.h"

#include "OptionRecord.h"

#include <X11/keysym.h>

#include <filesystem>

namespace fs = std::filesystem;

void CPointerOnFixture::vStart(const CTestPicture& picture, const PointerStart& start)
{
    const fs::path path = dir.PointerDir() / start.strName;
    ASSERT_TRUE(picture.bWritePng(path.string()));
    COptionRecord record;
    record.nOpacity = start.nOpacity;
    record.strPointerFile = path.string();
    fs::create_directories(dir.DataDir());
    ASSERT_TRUE(record.bWrite(dir.OptionFile().string()));

    ASSERT_TRUE(x.bWatchScreen());
    background = x.CreateTestWindow({0, 0, CXvfbServer::nWidth, CXvfbServer::nHeight}, kBackground);
    if (start.bHidden) {
        program = &Launch({"/m"});
        Window w = None;
        ASSERT_TRUE(bWaitFor([&] {
            w = x.FindWindowByTitle(szMainTitle, program->Pid());
            return (w != None && x.bSeenUnmapped(w)) || program->bExited();
        })) << "the hidden start did not finish";
    } else {
        ASSERT_NE(StartMainWindow(&program), None) << "the main window did not show";
    }
    ASSERT_FALSE(program->bExited());
    ASSERT_TRUE(x.bFocus(background));
}

void CPointerOnFixture::vSwitchOnAt(int cx, int cy)
{
    x.vMove(cx, cy);
    ASSERT_TRUE(x.bKey(XK_F8));
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; })) << "F8 showed no overlay";
}

bool CPointerOnFixture::bOverlayAt(const TestRect& want)
{
    TestRect rc;
    bool bAt = bWaitFor([&] { return x.bGeometry(overlay, rc) && rc == want; });
    if (!bAt)
        ADD_FAILURE() << "overlay at " << rc.x << "," << rc.y << " " << rc.width << "x" << rc.height
                      << ", expected " << want.x << "," << want.y << " " << want.width << "x" << want.height;
    return bAt;
}

void CPointerOnFixture::vExitInOrder()
{
    EXPECT_EQ(nRunToEnd({"/u"}), 0);
    EXPECT_EQ(nWaitExit(*program), 0) << "the program must end cleanly with the pointer on";
}
