// The pointer function over the record-and-replay overlay window and cursor.
#include "overlay/PointerImplement.h"
#include "platform/null/NullOverlay.h"
#include "settings/CoreAssist.h"
#include "unit/PictureWait.h"
#include "TestPng.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using NullOverlay::Log;

namespace {

class PointerImplementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        strDisc = dir.filePath("disc.png");
        strArrow = dir.filePath("arrow-16.png");
        ASSERT_TRUE(WriteTestFile(strDisc, EncodeSolidPng(33, 33, 255, 255, 255, 255)));
        ASSERT_TRUE(WriteTestFile(strArrow, EncodeSolidPng(64, 64, 0, 0, 0, 0)));
        GetCoreAssist()->option.strPointerFile = strDisc;
        GetCoreAssist()->option.nOpacity = 50;
        NullOverlay::vSetCursor(100, 100);
    }
    void TearDown() override { NullOverlay::vFailLayeredCreate(false); }

    const CLayeredWindow& Layered() const { return pointer.wndPoint.Layered(); }

    QTemporaryDir dir;
    QString strDisc, strArrow;
    std::atomic<BOOL> bOn{FALSE};
    CPointerImplement pointer{bOn};
};

} // namespace

TEST_F(PointerImplementTest, NothingHappensWithoutAWindow)
{
    bOn = TRUE;
    EXPECT_FALSE(pointer.bSwitch(TRUE));
    pointer.vUpdate();
    pointer.vOnMouseMove(0, 10, 10);
    EXPECT_FALSE(pointer.bDestroy());
    EXPECT_EQ(Log(Layered()).nUpdates, 0);
    EXPECT_TRUE(Log(Layered()).moves.empty());

    NullOverlay::vFailLayeredCreate(true);
    EXPECT_FALSE(pointer.bCreate());
    EXPECT_FALSE(pointer.bSwitch(TRUE));
}

TEST_F(PointerImplementTest, CreateTwiceMakesOneHiddenWindow)
{
    EXPECT_TRUE(pointer.bCreate());
    EXPECT_TRUE(pointer.bCreate());
    EXPECT_EQ(Log(Layered()).nCreates, 1);
    EXPECT_FALSE(Log(Layered()).bShown);
    EXPECT_TRUE(pointer.bDestroy());
    EXPECT_FALSE(pointer.bDestroy());
}

TEST_F(PointerImplementTest, OffMovesNothingAndHides)
{
    ASSERT_TRUE(pointer.bCreate());
    pointer.vOnMouseMove(0, 300, 300);
    EXPECT_TRUE(pointer.bSwitch(FALSE));
    pointer.vUpdate();
    auto log = Log(Layered());
    EXPECT_TRUE(log.moves.empty());
    EXPECT_EQ(log.nUpdates, 0); // nothing is decoded while off
    EXPECT_FALSE(log.bShown);
}

TEST_F(PointerImplementTest, SwitchOnShowsPictureCentredAtCursor)
{
    ASSERT_TRUE(pointer.bCreate());
    bOn = TRUE;
    EXPECT_TRUE(pointer.bSwitch(TRUE));
    // Shown at once; the picture follows from the decoding worker.
    EXPECT_TRUE(Log(Layered()).bShown);
    EXPECT_EQ(Log(Layered()).nUpdates, 0);
    ASSERT_TRUE(bWaitForPictures());
    auto log = Log(Layered());
    EXPECT_EQ(log.nUpdates, 1);
    EXPECT_EQ(log.nWidth, 33);
    EXPECT_EQ(log.nAlpha, 127);
    EXPECT_EQ(log.nTopLeft, 0x7F7F7F7Fu); // opacity folded into the pixels
    ASSERT_FALSE(log.moves.empty());
    EXPECT_EQ(log.moves.back(), std::make_pair(84, 84));
    EXPECT_TRUE(log.bShown);
    EXPECT_EQ(pointer.wndPoint.nHotSpot.load(), -1);

    // Movement follows; the two records of a diagonal cost one move.
    pointer.vOnMouseMove(0, 200, 150);
    pointer.vOnMouseMove(0, 200, 150);
    pointer.vOnMouseMove(MK_CONTROL | MK_LBUTTON, 201, 150);
    log = Log(Layered());
    ASSERT_GE(log.moves.size(), 3u);
    EXPECT_EQ(log.moves[log.moves.size() - 2], std::make_pair(184, 134));
    EXPECT_EQ(log.moves.back(), std::make_pair(185, 134));
    const size_t nMoves = log.moves.size();

    // Buttons and keys change nothing.
    pointer.vOnLButtonDown(MK_LBUTTON, 1, 1);
    pointer.vOnLButtonUp(MK_LBUTTON | MK_CONTROL, 1, 1);
    pointer.vOnRButtonDown(MK_RBUTTON, 1, 1);
    pointer.vOnRButtonUp(MK_RBUTTON, 1, 1);
    pointer.vOnKeyDown(0x42, 5);
    pointer.vOnKeyUp(0x42, 6);
    EXPECT_EQ(Log(Layered()).moves.size(), nMoves);

    // Switching off hides and keeps the picture; movement is ignored.
    bOn = FALSE;
    EXPECT_TRUE(pointer.bSwitch(FALSE));
    pointer.vOnMouseMove(0, 500, 500);
    log = Log(Layered());
    EXPECT_FALSE(log.bShown);
    EXPECT_EQ(log.moves.size(), nMoves);
    EXPECT_EQ(log.nUpdates, 1);
}

TEST_F(PointerImplementTest, OptionChangeWhileOnRedrawsFromDisk)
{
    ASSERT_TRUE(pointer.bCreate());
    bOn = TRUE;
    pointer.bSwitch(TRUE);
    ASSERT_TRUE(bWaitForPictures());
    GetCoreAssist()->option.strPointerFile = strArrow;
    GetCoreAssist()->option.nOpacity = 100;
    NullOverlay::vSetCursor(50, 60);
    pointer.vUpdate();
    EXPECT_EQ(Log(Layered()).nWidth, 33) << "the previous picture stays until the new one is decoded";
    ASSERT_TRUE(bWaitForPictures());
    auto log = Log(Layered());
    EXPECT_EQ(log.nUpdates, 2);
    EXPECT_EQ(log.nWidth, 64);
    EXPECT_EQ(log.nAlpha, 255);
    EXPECT_EQ(log.nTopLeft, 0u); // a transparent pixel stays transparent
    EXPECT_EQ(pointer.wndPoint.nHotSpot.load(), 16);
    EXPECT_EQ(log.moves.back(), std::make_pair(34, 44));
    EXPECT_TRUE(log.bShown);
}

TEST_F(PointerImplementTest, MissingPictureGivesZeroSize)
{
    ASSERT_TRUE(pointer.bCreate());
    pointer.wndPoint.bUpdateDisplayFrom(dir.filePath("gone-16.png"), 75);
    EXPECT_EQ(pointer.wndPoint.nImageWidth.load(), 0);
    EXPECT_EQ(pointer.wndPoint.nImageHeight.load(), 0);
    EXPECT_EQ(pointer.wndPoint.nHotSpot.load(), 0);
    auto log = Log(Layered());
    EXPECT_EQ(log.nUpdates, 1);
    EXPECT_EQ(log.nWidth, 0);
    EXPECT_EQ(log.nHeight, 0);
}

TEST_F(PointerImplementTest, PictureIsDecodedAgainOnlyWhenTheFileChanges)
{
    ASSERT_TRUE(pointer.bCreate());
    bOn = TRUE;
    pointer.bSwitch(TRUE);
    ASSERT_TRUE(bWaitForPictures());
    bOn = FALSE;
    pointer.bSwitch(FALSE);
    bOn = TRUE;
    pointer.bSwitch(TRUE);
    EXPECT_EQ(Log(Layered()).nUpdates, 1) << "the same picture at the same opacity is shown as it was";

    GetCoreAssist()->option.nOpacity = 100;
    pointer.vUpdate();
    EXPECT_EQ(Log(Layered()).nAlpha, 255);

    ASSERT_TRUE(WriteTestFile(strDisc, EncodeSolidPng(20, 20, 0, 0, 255, 255)));
    pointer.vUpdate();
    ASSERT_TRUE(bWaitForPictures());
    auto log = Log(Layered());
    EXPECT_EQ(log.nUpdates, 3);
    EXPECT_EQ(log.nWidth, 20) << "a replaced file is read again";
    EXPECT_EQ(log.nTopLeft, 0xFF0000FFu);

    // A file that does not decode shows nothing, and is not decoded again
    // at the next switch while it stays as it is.
    const QString broken = dir.filePath("broken.png");
    const std::vector<unsigned char> good = EncodeSolidPng(64, 64, 1, 2, 3, 255);
    ASSERT_TRUE(WriteTestFile(broken, std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2)));
    GetCoreAssist()->option.strPointerFile = broken;
    pointer.vUpdate();
    ASSERT_TRUE(bWaitForPictures());
    EXPECT_EQ(Log(Layered()).nWidth, 0);
    pointer.vUpdate();
    EXPECT_EQ(CPictureDecoder::Instance().nOutstanding(), 0) << "the failure is remembered";
    EXPECT_EQ(pointer.wndPoint.nImageWidth.load(), 0);
}
