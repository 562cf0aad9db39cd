// The dialog toolkit: skin styles and fonts, the tab sheet's pages, the
// hyperlink's states and colours, shared colours and the path splitter.
#include "platform/ui/DC.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/ShellOpen.h"
#include "res/ResourceIds.h"
#include "ui/FFileAssist.h"
#include "ui/HLinkCtrl.h"
#include "ui/SkinDialog.h"
#include "ui/SysColorSet.h"
#include "ui/TabSheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>

#include <gtest/gtest.h>

namespace {

std::vector<QString> g_opened;
BOOL g_bOpenSucceeds = TRUE;

BOOL RecordOpen(const QString& address)
{
    g_opened.push_back(address);
    return g_bOpenSucceeds;
}

class CSheetDialog : public CSkinDialog {
public:
    CSheetDialog() : CSkinDialog(IDD_LUMICUE_MAIN) {}
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TAB_SHEET, sheet);
        DDX_Control(pDX, IDC_LINK_DONATE, link);
    }
    CTabSheet sheet;
    CHLinkCtrl link;
    CDialog page0{IDD_POINTER_PAGE};
    CDialog page1{IDD_ABOUT_PAGE};
};

void Mouse(QWidget* w, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, p, w->mapToGlobal(p), b, type == QEvent::MouseButtonPress ? b : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

QColor TextColour(CWnd& wnd)
{
    wnd.GetSafeWidget()->grab(); // paints: the colour request runs
    return wnd.GetSafeWidget()->palette().color(QPalette::WindowText);
}

} // namespace

TEST(SkinDialog, StylesAreFoundByIdThenClassThenKeyZeroAndShareBrushes)
{
    CSheetDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    CWnd* subtitle = dlg.GetDlgItem(IDC_APP_SUBTITLE);
    CWnd* exitButton = dlg.GetDlgItem(IDC_EXIT);

    dlg.SetCtrlStyle(SKIN_KEY_ALL, SKIN_DEFAULT, nullptr, RGB(1, 2, 3));
    EXPECT_EQ(dlg.pFindStyle(exitButton)->nKey, SKIN_KEY_ALL);
    dlg.SetCtrlStyle(SKIN_KEY_STATIC, RGB(0, 255, 0), nullptr, SKIN_DEFAULT);
    EXPECT_EQ(dlg.pFindStyle(subtitle)->nKey, SKIN_KEY_STATIC);
    dlg.SetCtrlStyle(IDC_APP_SUBTITLE, RGB(0, 255, 0), nullptr, RGB(0, 0, 255));
    EXPECT_EQ(dlg.pFindStyle(subtitle)->nKey, IDC_APP_SUBTITLE);
    EXPECT_EQ(dlg.mapBrush.size(), 1u);

    // The key-0 text colour reaches a control without a style of its own.
    EXPECT_EQ(TextColour(*exitButton), QColor(1, 2, 3));
    EXPECT_EQ(TextColour(*subtitle), QColor(0, 0, 255));
    EXPECT_TRUE(subtitle->GetSafeWidget()->autoFillBackground());

    // A style with background -1 answers the default brush.
    CBrush fallback(RGB(9, 9, 9));
    CDC dc;
    dlg.SetCtrlStyle(IDC_APP_SUBTITLE, SKIN_DEFAULT, &dlg.fontBoldLarger, RGB(0, 0, 255));
    EXPECT_EQ(dlg.pOnCtlColor(&dc, subtitle, &fallback), &fallback);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 255));
    EXPECT_TRUE(subtitle->GetFont().bold());

    LONG heights[3];
    CSkinDialogBase::vBoldHeights(-11, heights);
    EXPECT_EQ(heights[0], -11);
    EXPECT_EQ(heights[1], -12);
    EXPECT_EQ(heights[2], -15);
}

TEST(TabSheet, OnePageVisibleAndActivePageAnswers)
{
    CSheetDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    dlg.page0.Create(IDD_POINTER_PAGE, &dlg.sheet);
    dlg.page1.Create(IDD_ABOUT_PAGE, &dlg.sheet);
    dlg.sheet.AddPage("Pointer", &dlg.page0);
    dlg.sheet.AddPage("About", &dlg.page1);
    dlg.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.page0.IsWindowVisible());
    EXPECT_FALSE(dlg.page1.IsWindowVisible());
    EXPECT_EQ(dlg.sheet.GetCurSel(), 0);

    EXPECT_EQ(dlg.sheet.SetActivePage(0), 0);
    EXPECT_EQ(dlg.sheet.SetActivePage(-1), -1);
    EXPECT_EQ(dlg.sheet.SetActivePage(2), -1);
    EXPECT_TRUE(dlg.page0.IsWindowVisible());
    EXPECT_EQ(dlg.sheet.SetActivePage(1), 0);
    EXPECT_FALSE(dlg.page0.IsWindowVisible());
    EXPECT_TRUE(dlg.page1.IsWindowVisible());
    EXPECT_EQ(dlg.sheet.GetCurSel(), 1);

    // The user's pick (a click on the tab, or Ctrl+Tab) arrives as TCN_SELCHANGE.
    dlg.sheet.GetSafeWidget()->findChild<QTabBar*>()->setCurrentIndex(0);
    EXPECT_EQ(dlg.sheet.nCurPage, 0);
    EXPECT_TRUE(dlg.page0.IsWindowVisible());
    QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::sendEvent(dlg.GetSafeWidget(), &ctrlTab);
    EXPECT_EQ(dlg.sheet.nCurPage, 1);
    EXPECT_FALSE(dlg.page0.IsWindowVisible());

    // Pages lie inside the sheet, below the tabs.
    RECT tab, page;
    dlg.sheet.GetItemRect(0, &tab);
    dlg.page1.GetWindowRect(&page);
    dlg.sheet.ScreenToClient(&page);
    EXPECT_EQ(page.left, 4);
    EXPECT_EQ(page.top, tab.bottom - tab.top + 6);
}

TEST(HLinkCtrl, StatesAndColoursFollowHoverAndVisits)
{
    SetShellOpenHook(RecordOpen);
    g_opened.clear();
    CSheetDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    dlg.ShowWindow(SW_SHOW);
    dlg.link.vSetURL("https://example.test/a");
    dlg.link.SetWindowText("a link");
    QWidget* w = dlg.link.GetSafeWidget();
    EXPECT_EQ(TextColour(dlg.link), QColor(0, 0, 255));
    EXPECT_TRUE(w->font().underline());
    EXPECT_TRUE(dlg.link.GetStyle() & SS_NOTIFY);

    Mouse(w, QEvent::MouseMove, QPoint(2, 2));
    EXPECT_EQ(dlg.link.nState, 2);
    EXPECT_EQ(CWnd::GetCapture(), &dlg.link);
    EXPECT_EQ(TextColour(dlg.link), QColor(255, 0, 0));

    g_bOpenSucceeds = FALSE; // an address that cannot be opened changes nothing
    Mouse(w, QEvent::MouseButtonPress, QPoint(2, 2));
    EXPECT_EQ(dlg.link.nState, 2);
    g_bOpenSucceeds = TRUE;
    Mouse(w, QEvent::MouseButtonPress, QPoint(2, 2));
    EXPECT_EQ(g_opened, (std::vector<QString>{"https://example.test/a", "https://example.test/a"}));

    // Leaving after the visit shows it visited and gives the capture back;
    // each later visit is visited -> hovered -> visited.
    for (int visit = 0; visit < 2; ++visit) {
        Mouse(w, QEvent::MouseMove, QPoint(3, 2));
        EXPECT_EQ(dlg.link.nState, 2);
        Mouse(w, QEvent::MouseMove, QPoint(-50, -50));
        EXPECT_EQ(dlg.link.nState, 1);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
    EXPECT_EQ(TextColour(dlg.link), QColor(128, 0, 128));
    SetShellOpenHook(nullptr);
}

TEST(SysColorSet, FillsAndUniformPalette)
{
    EXPECT_EQ(CSysColorSet::LightFill(RGB(255, 255, 255), RGB(255, 255, 225)), RGB(255, 255, 247));
    const LOGPALETTE lp = CSysColorSet::UniformPalette();
    ASSERT_EQ(lp.palPalEntry.size(), 252u);
    auto rgb = [&](size_t i) { return RGB(lp.palPalEntry[i].peRed, lp.palPalEntry[i].peGreen, lp.palPalEntry[i].peBlue); };
    EXPECT_EQ(rgb(0), RGB(0, 0, 0));
    EXPECT_EQ(rgb(36), RGB(42, 0, 0));
    EXPECT_EQ(rgb(251), RGB(255, 255, 255));
    g_sysColors.CreateGripBrush();
    EXPECT_EQ(g_sysColors.brushGrip.GetKind(), CBrush::Kind::Pattern);
    EXPECT_TRUE(g_sysColors.brushGrip.PatternBit(3, 0));
    EXPECT_FALSE(g_sysColors.brushGrip.PatternBit(3, 1));
}

TEST(FFileAssist, PathParts)
{
    CFFileAssist fa;
    EXPECT_EQ(fa.GetPathParts("/a/b.png", PATH_DRIVE | PATH_FOLDER), "/a/");
    EXPECT_EQ(fa.GetPathParts("/a/b.png", PATH_NAME), "b");
    EXPECT_EQ(fa.GetPathParts("/a/b.png", PATH_EXT), ".png");
    EXPECT_EQ(fa.GetPathParts("/a.d/b", PATH_NAME | PATH_EXT), "b");
}
