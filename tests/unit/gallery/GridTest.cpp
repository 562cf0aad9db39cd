// The gallery grid: cell places, the arrow keys, choosing and cancelling, and
// what a paint leaves on the surface.
#include "gallery/ImageTypeControl.h"
#include "platform/base/KeyNames.h"
#include "platform/ui/DC.h"
#include "platform/ui/Wnd.h"
#include "ui/SysColorSet.h"
#include "unit/PictureWait.h"
#include "TestPng.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Records what the grid posts and whether it hid its window.
class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        posted.push_back({message, wParam});
        (void)lParam;
        return 0;
    }
    BOOL ShowWindow(int nCmdShow) override
    {
        shows.push_back(nCmdShow);
        return TRUE;
    }
    std::vector<std::pair<UINT, WPARAM>> Delivered()
    {
        QCoreApplication::sendPostedEvents();
        return posted;
    }
    std::vector<std::pair<UINT, WPARAM>> posted;
    std::vector<int> shows;
};

// A grid of n pictures laid out as the page has it, without reading a folder.
void vFill(CImageTypeControl& grid, int n, CWnd* pWnd)
{
    for (int i = 0; i < n; ++i)
        grid.vAddImage(QStringLiteral("/nowhere/p%1.png").arg(i));
    grid.nCellWidth = grid.nCellHeight = 48;
    const auto dims = GridGeometry::Size(n);
    grid.nCols = dims.nCols;
    grid.nRows = dims.nRows;
    grid.rcControl = GridGeometry::ControlRect(48, 48, dims, grid.nMargin, TRUE);
    grid.vAttach(pWnd, 0, TRUE);
}

} // namespace

TEST(Grid, CellsLieInRowsBelowTheGripBand)
{
    CImageTypeControl grid;
    vFill(grid, 7, nullptr);
    EXPECT_EQ(grid.vecCells[0]->rcCell, (RECT{8, 18, 56, 66}));
    EXPECT_EQ(grid.vecCells[4]->rcCell, (RECT{56, 66, 104, 114}));
    EXPECT_EQ(grid.vecCells[6]->rcCell, (RECT{8, 114, 56, 162}));
    EXPECT_EQ(grid.vecCells[6]->nId, 6);
}

TEST(Grid, ArrowKeysWrapAndNeverReachAMissingCell)
{
    // {count, from, key, to}: nine pictures, then seven with a short last row.
    struct Move {
        int n, from;
        UINT vk;
        int to;
    };
    for (const Move& m : {Move{9, 8, VK_RIGHT, 0}, Move{9, 0, VK_LEFT, 0}, Move{9, 3, VK_LEFT, 2}, Move{9, 1, VK_UP, 7},
             Move{9, 7, VK_DOWN, 1}, Move{9, 4, VK_RIGHT, 5}, Move{9, 4, VK_HOME, 4}, Move{7, 6, VK_RIGHT, 0},
             Move{7, 5, VK_DOWN, 2}, Move{7, 2, VK_UP, 5}, Move{7, 4, VK_DOWN, 1}}) {
        CImageTypeControl grid;
        vFill(grid, m.n, nullptr);
        grid.nSelected = m.from;
        grid.vOnKeyDown(m.vk);
        EXPECT_EQ(grid.nSelected, m.to) << m.n << " pictures, from " << m.from << " key " << m.vk;
    }
}

TEST(Grid, ChoosingAndCancellingPostToTheWindowAndHideIt)
{
    CRecordingWnd wnd;
    CImageTypeControl grid;
    vFill(grid, 9, &wnd);

    // Press on cell 0, drag over cell 4, release in the margin: nothing chosen.
    grid.pSelectAt(10, 20);
    grid.vOnMouseMove(60, 70);
    grid.vOnLButtonUp(2, 2);
    EXPECT_EQ(grid.nSelected, 4);
    EXPECT_TRUE(wnd.Delivered().empty());
    // Release over cell 8 chooses it.
    grid.vOnLButtonUp(110, 120);
    grid.vOnKeyDown(VK_RETURN);
    grid.vOnKeyDown(VK_ESCAPE);
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_IMAGETYPE_SELECTED, 8}, {WM_IMAGETYPE_SELECTED, 4}, {WM_IMAGETYPE_CANCELLED, 4}};
    EXPECT_EQ(wnd.Delivered(), expected);
    EXPECT_EQ(wnd.shows, (std::vector<int>{SW_HIDE, SW_HIDE, SW_HIDE}));
}

TEST(Grid, PaintShowsFillsFramesAndPicturesFromTheCurrentFile)
{
    QTemporaryDir dir;
    const QString red = dir.path() + QStringLiteral("/red.png");
    ASSERT_TRUE(WriteTestFile(red, EncodeSolidPng(4, 4, 255, 0, 0, 255)));
    g_sysColors.RefreshColors(); // as the program does at start-up, so the fills below differ
    CImageTypeControl grid;
    grid.vAddImage(red);
    grid.vAddImage(dir.path() + QStringLiteral("/broken.png")); // missing: crossed out
    grid.nCellWidth = grid.nCellHeight = 48;
    grid.nCols = 2;
    grid.nRows = 1;
    grid.rcControl = GridGeometry::ControlRect(48, 48, {2, 1}, 8, TRUE);
    grid.vAttach(nullptr, 1, TRUE);

    CBitmap32 surface;
    ASSERT_TRUE(surface.bCreate(RectWidth(grid.rcControl), RectHeight(grid.rcControl)));
    CDC dc(&surface);
    grid.vWarm();
    const int warmed = grid.pictures.Decodes();
    EXPECT_GT(warmed, 0);
    ASSERT_TRUE(bWaitForPictures());
    grid.vPaint(&dc);
    EXPECT_EQ(grid.pictures.Decodes(), warmed) << "the warm-up left the first paint a decode";
    const auto px = [](COLORREF c) {
        return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    };
    EXPECT_EQ(surface.Pixel(30, 40), px(RGB(255, 0, 0)));           // picture, stretched
    EXPECT_EQ(surface.Pixel(9, 19), px(g_sysColors.clrLightFill));      // unselected fill
    EXPECT_EQ(surface.Pixel(56, 18), px(RGB(0, 0, 0)));              // selected: black frame
    EXPECT_EQ(surface.Pixel(57, 19 + 10), px(RGB(255, 255, 255)));   // first white frame
    EXPECT_EQ(surface.Pixel(60, 30), px(g_sysColors.clrSelectedFill));  // selected fill
    EXPECT_EQ(surface.Pixel(58, 30), px(RGB(200, 0, 0)));            // the mark's frame
    EXPECT_EQ(surface.Pixel(79, 41), px(RGB(200, 0, 0)));            // and its cross
    EXPECT_EQ(surface.Pixel(1, 1), px(g_sysColors.clrFace));
    EXPECT_EQ(surface.Pixel(50, 5), px(g_sysColors.clrShadow));     // grip line, odd row
    EXPECT_EQ(surface.Pixel(50, 6), px(g_sysColors.clrFace));

    // A picture rewritten on disk shows its new look at the next paint.
    ASSERT_TRUE(WriteTestFile(red, EncodeSolidPng(5, 5, 0, 0, 255, 255)));
    QFile rewritten(red);
    ASSERT_TRUE(rewritten.open(QIODevice::ReadWrite));
    ASSERT_TRUE(rewritten.setFileTime(QDateTime::currentDateTime().addSecs(2), QFileDevice::FileModificationTime));
    rewritten.close();
    grid.vPaint(&dc);
    EXPECT_EQ(surface.Pixel(10, 20), px(g_sysColors.clrShadow)) << "an empty frame while it is decoded";
    EXPECT_EQ(surface.Pixel(30, 40), px(g_sysColors.clrLightFill));
    ASSERT_TRUE(bWaitForPictures());
    grid.vPaint(&dc);
    EXPECT_EQ(surface.Pixel(30, 40), px(RGB(0, 0, 255)));
    const int decodes = grid.pictures.Decodes();
    grid.vPaint(&dc);
    EXPECT_EQ(grid.pictures.Decodes(), decodes);
}
