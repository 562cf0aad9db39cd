// The main window's pages and links, and the About page's texts.
#include "app/AboutLumicue.h"
#include "app/LumicueMain.h"

#include "lang/Language.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ShellOpen.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::vector<QString> g_opened;

BOOL RecordOpen(const QString& address)
{
    g_opened.push_back(address);
    return TRUE;
}

int NoBox(CWnd*, const QString&, const QString&, UINT)
{
    return IDOK;
}

} // namespace

TEST(MainPages, PagesLinksTitleFontAndTheAboutCommand)
{
    QTemporaryDir dir;
    SetMessageBoxHook(NoBox);
    SetShellOpenHook(RecordOpen);
    vResetLanguage();
    GetCoreAssist()->strDataDir = dir.path();
    GetCoreAssist()->option.vSetDefaults();

    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    ASSERT_EQ(wnd.tabSheet.GetPageCount(), 3);
    EXPECT_EQ(wnd.tabSheet.arrPages[2], &wnd.pageOptions);
    EXPECT_EQ(wnd.tabSheet.arrPages[0], &wnd.pageFun);
    EXPECT_EQ(wnd.tabSheet.GetCurSel(), 0);
    ASSERT_TRUE(wnd.fontBoldLarger.IsValid());
    const QFont title = wnd.GetDlgItem(IDC_APP_TITLE)->GetFont();
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(title.pixelSize(), wnd.fontBoldLarger.ToQFont().pixelSize());
    EXPECT_EQ(wnd.linkSite.GetWindowText(), "Visit our site for more presentation utilities");
    EXPECT_EQ(wnd.linkDonate.strURL, "https://lumicue.example/lumicue/donate.htm");
    EXPECT_EQ(wnd.pageFun.GetDlgItem(IDC_OPACITY_SLIDER), &wnd.pageFun.sliderOpacity);

    // The About page: version from the version strings, both links showing their address, Donate shown.
    EXPECT_EQ(wnd.pageAbout.GetDlgItem(IDC_ABOUT_VERSION)->GetWindowText(), "Lumicue V1.0.0");
    EXPECT_EQ(wnd.pageAbout.linkProduct.GetWindowText(), wnd.pageAbout.linkProduct.strURL);
    EXPECT_EQ(wnd.pageAbout.linkMail.GetWindowText(), "mailto:support@lumicue.example");
    wnd.ShowWindow(SW_SHOW);
    wnd.SendMessage(WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_EQ(wnd.tabSheet.nCurPage, 1);
    EXPECT_TRUE(wnd.pageAbout.GetDlgItem(static_cast<int>(ID_DONATE))->IsWindowVisible());
    wnd.pageAbout.SendMessage(WM_COMMAND, ID_DONATE, 0);
    EXPECT_EQ(g_opened, (std::vector<QString>{"https://lumicue.example/lumicue/donate.htm"}));
    EXPECT_EQ(AboutVersionText("2, 5"), QString());

    SetShellOpenHook(nullptr);
    SetMessageBoxHook(nullptr);
}
