// The overlay tests' common start, with the pointer switched on.
#include "PointerOnFixture.h"

#include "OptionRecord.h"

#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

void CPointerOnFixture::vStart(const CTestPicture& picture, const PointerStart& start)
{
    const fs::path path = dir.PointerDir() / start.strName;
    ASSERT_TRUE(picture.bWritePng(path.string()));
    COptionRecord record;
    record.nOpacity = start.nOpacity;
    record.hotKey = start.hotKey;
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

bool CPointerOnFixture::bScreenMatches(const TestRect& rc, const std::function<bool(uint32_t)>& check)
{
    return bWaitFor([&] {
        for (uint32_t p : x.Pixels(rc))
            if (!check(p))
                return false;
        return true;
    });
}

bool CPointerOnFixture::bBoundingShaped()
{
    int bShaped = 0, bClipShaped = 0, xb, yb, xc, yc;
    unsigned int wb, hb, wc, hc;
    return XShapeQueryExtents(x.Dpy(), overlay, &bShaped, &xb, &yb, &wb, &hb, &bClipShaped, &xc, &yc, &wc, &hc)
        && bShaped;
}

std::string CPointerOnFixture::strShapeMismatch(const CTestPicture& picture)
{
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(x.Dpy(), overlay, ShapeBounding, &count, &ordering);
    auto inShape = [&](int px, int py) {
        for (int i = 0; i < count; ++i)
            if (px >= rects[i].x && px < rects[i].x + rects[i].width && py >= rects[i].y
                && py < rects[i].y + rects[i].height)
                return true;
        return false;
    };
    std::ostringstream out;
    for (int py = 0; py < picture.Height(); ++py)
        for (int px = 0; px < picture.Width(); ++px)
            if (inShape(px, py) != ((picture.Get(px, py) >> 24) >= 128))
                out << " " << px << "," << py;
    if (rects)
        XFree(rects);
    return out.str();
}

bool CPointerOnFixture::bNear(uint32_t rgb, int r, int g, int b, int tolerance)
{
    return std::abs(static_cast<int>(rgb >> 16 & 0xFF) - r) <= tolerance
        && std::abs(static_cast<int>(rgb >> 8 & 0xFF) - g) <= tolerance
        && std::abs(static_cast<int>(rgb & 0xFF) - b) <= tolerance;
}
