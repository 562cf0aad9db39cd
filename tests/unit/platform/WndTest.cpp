// The window framework: message delivery across threads, timers, dialogs
// built from templates and the keys a dialog routes.
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "res/ResourceIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Recorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back({message, wParam, lParam});
        if (loop && seen.size() >= wanted)
            loop->quit();
        return static_cast<LRESULT>(wParam) * 2;
    }
    std::vector<Recorded> seen;
    size_t wanted = 0;
    QEventLoop* loop = nullptr;

    // Runs the event loop until n messages arrived or the deadline passed.
    bool bWaitFor(size_t n, int deadlineMs = 5000)
    {
        if (seen.size() >= n)
            return true;
        QEventLoop l;
        loop = &l;
        wanted = n;
        QTimer::singleShot(deadlineMs, &l, &QEventLoop::quit);
        l.exec();
        loop = nullptr;
        return seen.size() >= n;
    }
};

class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(IDD_LUMICUE_MAIN) {}
    BOOL OnInitDialog() override
    {
        ++nInit;
        return TRUE;
    }
    void OnOK() override { ++nOk; }
    void OnCancel() override { ++nCancel; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND)
            lastSysCommand = wParam;
        if (message == WM_HELP)
            ++nHelp;
        if (message == WM_COMMAND && lParam == 0)
            commands.push_back(LOWORD(wParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }
    int nInit = 0, nOk = 0, nCancel = 0, nHelp = 0;
    WPARAM lastSysCommand = 0;
    std::vector<UINT> commands;
};

void PressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace

TEST(Wnd, PostedMessagesArriveOnTheUiThreadInOrder)
{
    CRecordingWnd wnd;
    std::thread poster([&] {
        for (WPARAM i = 0; i < 100; ++i)
            wnd.PostMessage(WM_USER + 1, i, -static_cast<LPARAM>(i));
    });
    poster.join();
    ASSERT_TRUE(wnd.bWaitFor(100));
    for (WPARAM i = 0; i < 100; ++i) {
        EXPECT_EQ(wnd.seen[i].message, WM_USER + 1);
        EXPECT_EQ(wnd.seen[i].wParam, i);
        EXPECT_EQ(wnd.seen[i].lParam, -static_cast<LPARAM>(i));
    }
}

TEST(Wnd, SendRunsOnlyOnTheUiThread)
{
    CRecordingWnd wnd;
    EXPECT_EQ(wnd.SendMessage(WM_USER + 2, 21, 0), 42);
    LRESULT answer = -1;
    std::thread sender([&] { answer = wnd.SendMessage(WM_USER + 2, 21, 0); });
    sender.join();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(wnd.seen.size(), 1u) << "a worker's send must not run the handler";
}

TEST(Wnd, MessagesPostedToAWindowThatIsGoneAreDropped)
{
    auto wnd = std::make_unique<CRecordingWnd>();
    wnd->PostMessage(WM_USER + 3);
    wnd.reset();
    CRecordingWnd other; // a window made since must not get the message either
    QCoreApplication::processEvents();
    EXPECT_TRUE(other.seen.empty());
}

TEST(Wnd, TimerDeliversItsIdUntilKilled)
{
    CRecordingWnd wnd;
    wnd.SetTimer(2, 1);
    ASSERT_TRUE(wnd.bWaitFor(2));
    EXPECT_EQ(wnd.seen[0].message, WM_TIMER);
    EXPECT_EQ(wnd.seen[0].wParam, 2u);
    EXPECT_TRUE(wnd.KillTimer(2));
    EXPECT_FALSE(wnd.HasTimer(2));
    EXPECT_FALSE(wnd.KillTimer(2));
}

TEST(Dialog, BuildsTheMainTemplateInDialogUnits)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    EXPECT_EQ(dlg.nInit, 1);
    EXPECT_EQ(dlg.GetWindowText(), "Lumicue");
    EXPECT_FALSE(dlg.IsWindowVisible());

    QWidget* top = dlg.GetSafeWidget();
    EXPECT_EQ(top->width(), dlg.DialogUnitsToPixelsX(281));
    EXPECT_EQ(top->height(), dlg.DialogUnitsToPixelsY(238));

    CWnd* exitButton = dlg.GetDlgItem(1255);
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(exitButton->GetClassName(), "Button");
    EXPECT_EQ(exitButton->GetWindowText(), "E&xit");
    QRect r = exitButton->GetSafeWidget()->geometry();
    EXPECT_EQ(r, QRect(dlg.DialogUnitsToPixelsX(224), dlg.DialogUnitsToPixelsY(216), dlg.DialogUnitsToPixelsX(50),
                     dlg.DialogUnitsToPixelsY(14)));
    EXPECT_EQ(dlg.GetDlgItem(24105)->GetWindowText(), "Lumicue V1.0");
    EXPECT_EQ(dlg.GetDlgItem(1248)->GetClassName(), "SysTabControl32");
    EXPECT_EQ(dlg.EnumChildWindows().size(), 8u);
    EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
}

TEST(Dialog, KeysAndCloseBoxReachTheirHandlers)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    QWidget* top = dlg.GetSafeWidget();
    PressKey(top, Qt::Key_Return);
    PressKey(top, Qt::Key_Escape);
    PressKey(top, Qt::Key_F1);
    EXPECT_EQ(dlg.nOk, 1);
    EXPECT_EQ(dlg.nCancel, 1);
    EXPECT_EQ(dlg.nHelp, 1);

    QCloseEvent close;
    QCoreApplication::sendEvent(top, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_EQ(dlg.lastSysCommand, SC_CLOSE);
}

TEST(Dialog, ButtonsSendTheirCommand)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    auto* exitButton = dlg.GetDlgItem(1255)->GetSafeWidget();
    QMetaObject::invokeMethod(exitButton, "click");
    ASSERT_EQ(dlg.commands.size(), 1u);
    EXPECT_EQ(dlg.commands[0], 1255u);
}

TEST(Dialog, ShowWindowFollowsTheCommands)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LUMICUE_MAIN));
    EXPECT_FALSE(dlg.ShowWindow(SW_SHOW));
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(dlg.GetSafeWidget()->isMinimized());
    dlg.ShowWindow(SW_RESTORE);
    EXPECT_FALSE(dlg.GetSafeWidget()->isMinimized());
    EXPECT_TRUE(dlg.ShowWindow(SW_HIDE));
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(dlg.IsWindow());
    EXPECT_FALSE(dlg.ShowWindow(SW_SHOW));
}
