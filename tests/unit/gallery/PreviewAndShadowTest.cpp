// The preview's two looks and the pop-up shadow drawn through a device context.
#include "gallery/FODropShadow.h"
#include "gallery/PictureCtrl.h"
#include "platform/ui/DC.h"
#include "unit/PictureWait.h"
#include "unit/PixelChannels.h"
#include "TestPng.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

CBitmap32 Filled(int w, int h, std::uint32_t px)
{
    CBitmap32 b;
    b.bCreate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, px);
    return b;
}

} // namespace

TEST(Preview, WhiteUntilSetThenStretchedThenBackgroundOnly)
{
    CBitmap32 surface = Filled(32, 32, 0xFF808080u);
    CDC dc(&surface);
    DRAWITEMSTRUCT dis;
    dis.hDC = &dc;
    dis.rcItem = RECT{0, 0, 32, 32};
    CPictureCtrl preview;
    preview.DrawItem(&dis);
    EXPECT_EQ(surface.Pixel(31, 31), 0xFFFFFFFFu);

    // Two pixels, red then blue, fill the whole control side by side.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/two.png");
    TestPngRecipe recipe;
    recipe.nWidth = 2;
    recipe.raw = {255, 0, 0, 255, 0, 0, 255, 255};
    ASSERT_TRUE(WriteTestFile(path, EncodeTestPng(recipe)));
    preview.vSetImage(path);
    preview.DrawItem(&dis); // asks for the picture at the control's size
    ASSERT_TRUE(bWaitForPictures());
    preview.DrawItem(&dis);
    EXPECT_EQ(surface.Pixel(0, 31), 0xFFFF0000u);
    EXPECT_EQ(surface.Pixel(15, 0), 0xFFFF0000u);
    EXPECT_EQ(surface.Pixel(16, 0), 0xFF0000FFu);

    // A path that does not decode drops the old picture.
    surface = Filled(32, 32, 0xFF808080u);
    preview.vSetImage(dir.path() + QStringLiteral("/missing.png"));
    preview.DrawItem(&dis);
    EXPECT_EQ(surface.Pixel(16, 16), 0xFF808080u);
}

TEST(Shadow, DrawnOnceThenCopiedFromTheStrips)
{
    CBitmap32 surface = Filled(28, 18, 0xFFFFFFFFu);
    CDC dc(&surface);
    CFODropShadow shadow;
    const RECT rc{0, 0, 24, 14};
    EXPECT_TRUE(shadow.bDraw(&dc, &rc, 0, TRUE));
    EXPECT_EQ(surface.Pixel(24, 4), 0xFFFFFFFFu);

    ASSERT_TRUE(shadow.bDraw(&dc, &rc, 4, TRUE));
    const std::uint32_t darkened = surface.Pixel(24, 4);
    EXPECT_EQ(PixelRed(darkened), 178);
    EXPECT_EQ(surface.Pixel(24, 3), 0xFFFFFFFFu);
    // A later paint puts the cached band back instead of darkening it again.
    ASSERT_TRUE(shadow.bDraw(&dc, &rc, 4, TRUE));
    EXPECT_EQ(surface.Pixel(24, 4), darkened);

    // With a compositor the band is translucent black over a clear surface.
    CBitmap32 clear = Filled(28, 18, 0x00000000u);
    CDC clearDc(&clear);
    shadow.bTranslucent = TRUE;
    ASSERT_TRUE(shadow.bDraw(&clearDc, &rc, 4, TRUE));
    EXPECT_EQ(clear.Pixel(24, 4), 76u << 24);
}
