// The single-instance lock and channel between two instances.
#include "platform/instance/InstanceLock.h"
#include "platform/instance/InstanceServer.h"
#include "platform/instance/RemoteWindow.h"
#include "platform/instance/RuntimeFolder.h"
#include "platform/ui/Wnd.h"

#include "SavedEnv.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

constexpr UINT kAsk = 0xC123;
constexpr UINT kForbidden = WM_CLOSE;

class CAnsweringWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override
    {
        ++nCalls;
        lastMessage = message;
        return message == kAsk ? static_cast<LRESULT>(kAsk) : static_cast<LRESULT>(wParam);
    }
    int nCalls = 0;
    UINT lastMessage = 0;
};

class InstanceChannel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CSavedEnv::vSet("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData());
    }

    CSavedEnv env{{"XDG_RUNTIME_DIR"}};

    // Runs a client on its own thread while this thread serves.
    template <class F>
    void vRunClient(F&& client)
    {
        std::atomic<bool> done{false};
        QEventLoop loop;
        std::thread t([&] {
            client();
            done = true;
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (!done)
            loop.exec();
        t.join();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(InstanceChannel, SecondLockSeesTheFirst)
{
    CInstanceLock first;
    CInstanceLock second;
    ASSERT_TRUE(first.bCreate("TEST-LOCK"));
    EXPECT_FALSE(first.bAlreadyExists());
    ASSERT_TRUE(second.bCreate("TEST-LOCK"));
    EXPECT_TRUE(second.bAlreadyExists());
    first.vClose();
    ASSERT_TRUE(second.bCreate("TEST-LOCK"));
    EXPECT_FALSE(second.bAlreadyExists());
}

TEST_F(InstanceChannel, SendIsAnsweredAndPostIsDelivered)
{
    CAnsweringWnd wnd;
    CInstanceServer server;
    ASSERT_TRUE(server.bListen("TEST-CHANNEL", &wnd, [](UINT m, WPARAM, LPARAM) { return m != kForbidden; }));

    LRESULT answer = 0;
    BOOL sent = FALSE, posted = FALSE;
    vRunClient([&] {
        CRemoteWindow remote("TEST-CHANNEL");
        sent = remote.bSendMessageTimeout(kAsk, 0, 0, 2000, &answer);
        posted = remote.bPostMessage(WM_COMMAND, 26027, 0);
    });
    EXPECT_TRUE(sent);
    EXPECT_EQ(answer, static_cast<LRESULT>(kAsk));
    EXPECT_TRUE(posted);
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    while (wnd.nCalls < 2 && loop.processEvents(QEventLoop::WaitForMoreEvents)) {
    }
    EXPECT_EQ(wnd.lastMessage, static_cast<UINT>(WM_COMMAND));
}

TEST_F(InstanceChannel, RequestsOutsideTheProtocolAreRefused)
{
    CAnsweringWnd wnd;
    CInstanceServer server;
    ASSERT_TRUE(server.bListen("TEST-CHANNEL", &wnd, [](UINT m, WPARAM, LPARAM) { return m != kForbidden; }));
    LRESULT answer = -1;
    vRunClient([&] { CRemoteWindow("TEST-CHANNEL").bSendMessageTimeout(kForbidden, 7, 0, 2000, &answer); });
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(wnd.nCalls, 0);
}

TEST_F(InstanceChannel, NoListenerMeansNoWindowFound)
{
    LRESULT answer = 0;
    EXPECT_FALSE(CRemoteWindow("TEST-NOBODY").bSendMessageTimeout(kAsk, 0, 0, 200, &answer));
}

TEST_F(InstanceChannel, AStaleSocketIsTakenOver)
{
    QFile stale(CInstanceServer::SocketPath("TEST-STALE"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    CAnsweringWnd wnd;
    CInstanceServer server;
    EXPECT_TRUE(server.bListen("TEST-STALE", &wnd, [](UINT, WPARAM, LPARAM) { return true; }));
}

TEST(RegisteredMessage, SameNameSameNumberInTheRegisteredRange)
{
    UINT a = RegisterWindowMessageW("LUMICUE-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
    UINT b = RegisterWindowMessageW("LUMICUE-EXIT-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
    EXPECT_EQ(a, RegisterWindowMessageW("LUMICUE-46E5F037-5C31-4fbf-8265-2F0AA7A4A547"));
    EXPECT_NE(a, b);
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
}
