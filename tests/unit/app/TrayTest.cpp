// The tray icon's callback by click kind, the tray menu, the balloons and
// what a click on the update notice opens and stores.
#include "app/LumicueMain.h"

#include "lang/Language.h"
#include "platform/null/NullHotKeys.h"
#include "platform/storage/Ini.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PopupMenu.h"
#include "settings/CoreAssist.h"
#include "update/AutoUpdate.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

class CUrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url.toString(); }

public:
    QStringList urls;
};

namespace {

struct MenuSeen {
    int nItems = -1;
    BOOL bToggleChecked = FALSE;
    QString strToggle;
};
MenuSeen g_menu;
UINT g_nChoose = 0;

UINT RecordMenu(const CMenu& menu, int, int)
{
    g_menu.nItems = menu.GetMenuItemCount();
    for (int i = 0; i < menu.GetMenuItemCount(); ++i)
        if (menu.GetItem(i)->nId == 34062) {
            g_menu.bToggleChecked = menu.GetItem(i)->bChecked;
            g_menu.strToggle = menu.GetItem(i)->strText;
        }
    return g_nChoose;
}

class Tray : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetPopupMenuHook(RecordMenu);
        QDesktopServices::setUrlHandler("https", &opened, "open");
        QDesktopServices::setUrlHandler("http", &opened, "open");
        QDesktopServices::setUrlHandler("file", &opened, "open");
        CNullHotKeys::vReset();
        vResetLanguage();
        GetCoreAssist()->strDataDir = dir.path();
        GetCoreAssist()->option.vSetDefaults();
        g_autoUpdate.strNewVerFile.clear();
        g_autoUpdate.strInfoID.clear();
        ASSERT_TRUE(wnd.Create(317));
    }
    void TearDown() override
    {
        SetPopupMenuHook(nullptr);
        for (const char* scheme : {"https", "http", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    void Notify(LPARAM lParam, WPARAM wParam = 516)
    {
        wnd.OnTaskBarN(wParam, lParam);
        QCoreApplication::sendPostedEvents();
    }
    QString StoredInfoId() const
    {
        QString value;
        GetPrivateProfileStringW("Software\\Lumicue", "InfoID", "", value, 260, dir.path() + "/Registry.ini");
        return value;
    }

    QTemporaryDir dir;
    CUrlRecorder opened;
    CLumicueMain wnd;
};

} // namespace

TEST_F(Tray, ClicksRestoreOrOpenTheMenuWithTheToggleCheckedWhileOn)
{
    EXPECT_EQ(wnd.nid.uID, 516u);
    EXPECT_EQ(wnd.nid.szTip, "Lumicue");
    wnd.ShowWindow(SW_HIDE);
    Notify(WM_LBUTTONDOWN, 517);
    EXPECT_FALSE(wnd.IsWindowVisible()) << "another icon's id is ignored";
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(wnd.IsWindowVisible());

    g_nChoose = 34062;
    Notify(WM_RBUTTONUP);
    EXPECT_EQ(g_menu.nItems, 6);
    EXPECT_FALSE(g_menu.bToggleChecked);
    EXPECT_EQ(g_menu.strToggle, "Hight Visibility &Pointer");
    EXPECT_TRUE(wnd.bPointerOn.load()) << "the chosen item reaches the window as a command";
    EXPECT_EQ(wnd.nid.szInfoTitle, "Lumicue");
    EXPECT_EQ(wnd.nid.szInfo, "Hight Visibility Pointer  is On");
    EXPECT_EQ(wnd.nid.uTimeout, 1000u);

    Notify(WM_RBUTTONUP);
    EXPECT_TRUE(g_menu.bToggleChecked);
    EXPECT_FALSE(wnd.bPointerOn.load());
    EXPECT_EQ(wnd.nid.szInfo, "Hight Visibility Pointer  is Off");
    g_nChoose = 0;
}

TEST_F(Tray, TheUpdateBalloonOpensOnlyWebPagesAndStoresTheInfoId)
{
    Notify(NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(opened.urls.isEmpty()) << "a pointer balloon leads nowhere";

    wnd.SendMessage(WM_UPDATE_NEWVERSION);
    EXPECT_EQ(wnd.nid.szInfoTitle, "Lumicue Update");
    EXPECT_EQ(wnd.nid.uTimeout, 20000u);
    g_autoUpdate.strNewVerFile = "https://lumicue.example/v2.htm";
    g_autoUpdate.strInfoID = "77";
    Notify(NIN_BALLOONUSERCLICK);
    g_autoUpdate.strInfoID.clear();
    g_autoUpdate.strNewVerFile = "file:///etc/passwd";
    Notify(NIN_BALLOONUSERCLICK);
    g_autoUpdate.strNewVerFile.clear();
    wnd.bTogglePointer();
    Notify(NIN_BALLOONUSERCLICK);
    EXPECT_EQ(opened.urls, (QStringList{"https://lumicue.example/v2.htm", "https://lumicue.example/lumicue/",
                               "https://lumicue.example/lumicue/"}));
    EXPECT_EQ(StoredInfoId(), "77");
}

TEST_F(Tray, BalloonTextsAreCutToTheirFields)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    wnd.vShowBalloon(QString(62, 't') + smile, QString(300, 'x'), 1000, 7);
    EXPECT_EQ(wnd.nid.szInfoTitle, QString(62, 't')) << "a character is never split";
    EXPECT_EQ(wnd.nid.szInfo.size(), 255);
    EXPECT_EQ(wnd.nid.dwInfoFlags, NIIF_NONE) << "an unknown icon kind keeps the previous one";
}

#include "TrayTest.moc"
