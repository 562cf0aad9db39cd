// The Pointer page on a real X server: a first run shows the first picture,
// the gallery pop-up chooses with keys and with the mouse while the pointer
// is on, Escape keeps the picture, the slider's release reaches the overlay,
// a typed combination moves the grab, and Hide saves every choice.
#include "DisplayFixture.h" // first: GoogleTest before Xlib
#include "A11yReader.h"
#include "OptionRecord.h"
#include "TestErrorTrap.h"
#include "TestPicture.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// Five pictures, each of its own colour and size, so the overlay's size
// tells which one it shows: a 3 x 2 gallery of 160 x 122 pixels.
constexpr int kPictures = 5;
constexpr uint32_t kColours[kPictures] = {0xFFFF00FF, 0xFF00FFFF, 0xFFFFFF00, 0xFF00FF00, 0xFFFF8000};
int nSizeOf(int i) { return 20 + 4 * i; }

} // namespace

class GalleryTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override { return {.bShippedPointers = false}; }

    void vWritePictures()
    {
        for (int i = 0; i < kPictures; ++i) {
            CTestPicture picture(nSizeOf(i), nSizeOf(i), kColours[i]);
            ASSERT_TRUE(picture.bWritePng((dir.PointerDir() / PictureName(i)).string()));
        }
    }
    static std::string PictureName(int i) { return std::string(1, static_cast<char>('a' + i)) + ".png"; }

    // A mapped override-redirect top-level whose size passes the test.
    Window FindPopup(const std::function<bool(int, int)>& bSize, TestRect* pRect = nullptr)
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(x.Dpy(), x.Root(), &rootRet, &parent, &children, &n))
            return None;
        std::vector<Window> list(children, children + n);
        if (children)
            XFree(children);
        for (Window c : list) {
            CTestErrorTrap trap(x.Dpy());
            XWindowAttributes a;
            if (XGetWindowAttributes(x.Dpy(), c, &a) && trap.nSync() == 0 && a.override_redirect &&
                a.map_state == IsViewable && bSize(a.width, a.height)) {
                if (pRect)
                    *pRect = {a.x, a.y, a.width, a.height};
                return c;
            }
        }
        return None;
    }
    bool bOverlayShows(int i)
    {
        return FindPopup([i](int w, int h) { return w == nSizeOf(i) && h == nSizeOf(i); }) != None;
    }
    Window Gallery(TestRect* pRect = nullptr)
    {
        return FindPopup([](int w, int h) { return w >= 160 && h >= 122; }, pRect);
    }

    // The alpha the overlay showing picture i has at its centre, -1 when absent.
    int nOverlayAlpha(int i)
    {
        const Window w = FindPopup([i](int cw, int ch) { return cw == nSizeOf(i) && ch == nSizeOf(i); });
        if (w == None)
            return -1;
        CTestErrorTrap trap(x.Dpy());
        XImage* img = XGetImage(x.Dpy(), w, nSizeOf(i) / 2, nSizeOf(i) / 2, 1, 1, AllPlanes, ZPixmap);
        if (trap.nSync() != 0 || !img)
            return -1;
        const int a = static_cast<int>((XGetPixel(img, 0, 0) >> 24) & 0xFF);
        XDestroyImage(img);
        return a;
    }

    // The preview: the bounding box of the first picture's colour in the window.
    bool bFindPreview(const TestRect& window, TestRect& preview)
    {
        const std::vector<uint32_t> px = x.Pixels(window);
        int left = window.width, top = window.height, right = -1, bottom = -1;
        for (int yy = 0; yy < window.height; ++yy)
            for (int xx = 0; xx < window.width; ++xx)
                if (px[yy * window.width + xx] == (kColours[0] & 0xFFFFFF)) {
                    left = std::min(left, xx), top = std::min(top, yy);
                    right = std::max(right, xx), bottom = std::max(bottom, yy);
                }
        preview = {window.x + left, window.y + top, right - left + 1, bottom - top + 1};
        return right >= 0 && preview.width > 20;
    }

    void vClickAt(int px, int py)
    {
        x.vMove(px, py);
        x.vClick();
    }
    void vButton(bool bDown)
    {
        XTestFakeButtonEvent(x.Dpy(), 1, bDown ? True : False, CurrentTime);
        XFlush(x.Dpy());
    }

    bool bOpenGallery(const TestRect& preview, TestRect& gallery)
    {
        vClickAt(preview.x + preview.width / 2, preview.y + preview.height / 2);
        return bWaitFor([&] { return Gallery(&gallery) != None && gallery.width == 164; });
    }
};

TEST_F(GalleryTest, ChoosePictureOpacityAndHotKeyThenHideSavesThem)
{
    ASSERT_TRUE(x.bWatchScreen()); // the program's repaints wake the waits
    vWritePictures();
    // The controls are found as a screen reader finds them.
    CA11yReader a11y;
    ASSERT_TRUE(a11y.bStart(dir, xvfb.strDisplay()));
    ASSERT_TRUE(bWaitForFile(a11y.BusSocket(), true));
    LaunchOptions options;
    options.extraEnv = a11y.Env();
    Window main = StartMainWindow(nullptr, {}, options);
    ASSERT_NE(main, None);
    TestRect window, preview;
    ASSERT_TRUE(x.bGeometry(main, window));
    ASSERT_TRUE(bWaitFor([&] { return bFindPreview(window, preview); })) << "the first run shows no first picture";
    std::vector<A11yObject> page;
    A11yObject slider, field, hide;
    ASSERT_TRUE(a11y.bFind("push button", "Hide", &page));
    ASSERT_TRUE(CA11yReader::bHas(page, "slider", "Opacity:", &slider));
    ASSERT_TRUE(CA11yReader::bHas(page, "text", "Toggle Hotkey:", &field));
    ASSERT_TRUE(CA11yReader::bHas(page, "push button", "Hide", &hide));

    ASSERT_TRUE(x.bKey(XK_F8));
    ASSERT_TRUE(bWaitFor([&] { return bOverlayShows(0); })) << "the overlay does not show the first picture";

    // The gallery opens under the preview, grown by its shadow, and Right,
    // Right, Enter chooses the third picture: the overlay follows at once.
    TestRect gallery;
    ASSERT_TRUE(bOpenGallery(preview, gallery));
    EXPECT_EQ(gallery.x, preview.x);
    EXPECT_EQ(gallery.y, preview.y + preview.height);
    EXPECT_EQ(gallery.height, 126);
    ASSERT_TRUE(x.bKey(XK_Right));
    ASSERT_TRUE(x.bKey(XK_Right));
    ASSERT_TRUE(x.bKey(XK_Return));
    EXPECT_TRUE(bWaitFor([&] { return Gallery() == None && bOverlayShows(2); })) << "Enter did not choose";

    // Escape closes it and keeps the picture.
    ASSERT_TRUE(bOpenGallery(preview, gallery));
    ASSERT_TRUE(x.bKey(XK_Escape));
    ASSERT_TRUE(bWaitFor([&] { return Gallery() == None; }));
    EXPECT_TRUE(bOverlayShows(2));

    // Press on the fourth cell, drag to the fifth and release there.
    ASSERT_TRUE(bOpenGallery(preview, gallery));
    x.vMove(gallery.x + 30, gallery.y + 90);
    vButton(true);
    x.vMove(gallery.x + 80, gallery.y + 90);
    vButton(false);
    EXPECT_TRUE(bWaitFor([&] { return Gallery() == None && bOverlayShows(4); })) << "the mouse did not choose";

    // A click at the slider's left end lowers the opacity when released.
    const int alpha = nOverlayAlpha(4);
    EXPECT_EQ(alpha, 75 * 255 / 100);
    vClickAt(slider.rc.x + 2, slider.rc.y + slider.rc.height / 2);
    EXPECT_TRUE(bWaitFor([&] { return nOverlayAlpha(4) < alpha; })) << "the overlay's blend did not change";

    // Ctrl+Shift+F9 in the hotkey field takes the grab from F8. The field
    // shows the key's longer name once the grab is taken.
    ASSERT_TRUE(x.bFocus(main));
    vClickAt(field.rc.x + field.rc.width / 2, field.rc.y + field.rc.height / 2);
    auto nInk = [&] {
        int n = 0;
        for (uint32_t px : x.Pixels(field.rc))
            n += (px >> 16 & 0xFF) < 0x60 && (px >> 8 & 0xFF) < 0x60 && (px & 0xFF) < 0x60; // black text
        return n;
    };
    const int nInkBefore = nInk();
    ASSERT_TRUE(x.bKey(XK_F9, ControlMask | ShiftMask));
    EXPECT_TRUE(bWaitFor([&] { return nInk() > 2 * nInkBefore + 20; })) << "the field does not show the new key";
    EXPECT_TRUE(x.bGrabKey(XK_F8, 0)) << "F8 is still held";
    x.vUngrabKey(XK_F8, 0);
    EXPECT_FALSE(x.bGrabKey(XK_F9, ControlMask | ShiftMask)) << "Ctrl+Shift+F9 was not registered";

    // Hide saves it all.
    fs::remove(dir.OptionFile());
    vClickAt(hide.rc.x + hide.rc.width / 2, hide.rc.y + hide.rc.height / 2);
    ASSERT_TRUE(bWaitForFile(dir.OptionFile(), true)) << "Hide did not save";
    std::ifstream in(dir.OptionFile(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GE(bytes.size(), 12u);
    COptionRecord expected;
    expected.nOpacity = bytes[8];
    expected.strPointerFile = (dir.PointerDir() / PictureName(4)).string();
    expected.hotKey.bCtrl = expected.hotKey.bShift = 1;
    expected.hotKey.nVirtKey = 0x78;
    EXPECT_LT(expected.nOpacity, 75);
    EXPECT_EQ(bytes, expected.Bytes());
}
