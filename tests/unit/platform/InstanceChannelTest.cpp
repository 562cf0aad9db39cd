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
#include <QFileSystemWatcher>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
        CSavedEnv::vSet("XDG_CACHE_HOME", (dir.path() + "/cache").toLocal8Bit().constData());
    }

    CSavedEnv env{{"XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}};

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
    EXPECT_FALSE(CInstanceLock::bIsHeld("TEST-LOCK"));
    ASSERT_TRUE(first.bCreate("TEST-LOCK"));
    EXPECT_FALSE(first.bAlreadyExists());
    EXPECT_TRUE(CInstanceLock::bIsHeld("TEST-LOCK"));
    ASSERT_TRUE(second.bCreate("TEST-LOCK"));
    EXPECT_TRUE(second.bAlreadyExists());
    first.vClose();
    EXPECT_FALSE(CInstanceLock::bIsHeld("TEST-LOCK")) << "asking never takes the lock";
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

TEST_F(InstanceChannel, ALongRuntimeFolderPathStillMeets)
{
    // Far past the 108 bytes of a socket path.
    const QString deep = dir.path() + '/' + QString(120, 'd') + '/' + QString(120, 'e');
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_EQ(chmod(deep.toLocal8Bit().constData(), 0700), 0);
    CSavedEnv::vSet("XDG_RUNTIME_DIR", deep.toLocal8Bit().constData());
    ASSERT_EQ(GetChannelFolder(), deep);
    CAnsweringWnd wnd;
    CInstanceServer server;
    ASSERT_TRUE(server.bListen("TEST-DEEP", &wnd, [](UINT, WPARAM, LPARAM) { return true; }));
    LRESULT answer = 0;
    vRunClient([&] { CRemoteWindow("TEST-DEEP").bSendMessageTimeout(kAsk, 0, 0, 2000, &answer); });
    EXPECT_EQ(answer, static_cast<LRESULT>(kAsk));
}

TEST_F(InstanceChannel, TheSocketLiesInAPrivateFolderAndAListenerThatFailedListensAgain)
{
    // A runtime folder others may look into leaves the socket to the private folder.
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    EXPECT_EQ(GetChannelFolder(), dir.path() + "/cache/lumicue");
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0700), 0);

    // A folder under the socket's name: the first bind fails, a later one takes.
    CInstanceServer first;
    ASSERT_TRUE(first.bOpen("TEST-AGAIN"));
    const QString socket = dir.path() + '/' + QDir(dir.path()).entryList({"*.sock"}, QDir::System).value(0);
    first.vClose();
    ASSERT_TRUE(QDir().mkdir(socket)) << "the socket file goes with its listener";
    CAnsweringWnd wnd;
    CInstanceServer server;
    EXPECT_FALSE(server.bListen("TEST-AGAIN", &wnd, [](UINT, WPARAM, LPARAM) { return true; }));
    ASSERT_TRUE(QDir().rmdir(socket));
    QEventLoop loop;
    QTimer::singleShot(CInstanceServer::nRetryMs + 2000, &loop, &QEventLoop::quit);
    QFileSystemWatcher watcher({dir.path()});
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] {
        if (QFileInfo::exists(socket))
            loop.quit();
    });
    loop.exec();
    LRESULT answer = 0;
    vRunClient([&] { CRemoteWindow("TEST-AGAIN").bSendMessageTimeout(kAsk, 0, 0, 2000, &answer); });
    EXPECT_EQ(answer, static_cast<LRESULT>(kAsk));
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

TEST_F(InstanceChannel, AHandlerOutlivesItsClientAndTheDeadline)
{
    // The handler runs its own event loop (a message box) until the client
    // has given up, past the connection deadline; the connection must stay
    // the handler's, and the channel must go on serving.
    struct CBusyWnd : CAnsweringWnd {
        QEventLoop nested;
        int nEntered = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (nEntered++ == 0)
                nested.exec();
            return CAnsweringWnd::WindowProc(message, wParam, lParam);
        }
    } wnd;
    CInstanceServer server;
    ASSERT_TRUE(server.bListen("TEST-BUSY", &wnd, [](UINT, WPARAM, LPARAM) { return true; }));
    LRESULT answer = 0;
    BOOL bLate = TRUE, bNext = FALSE;
    vRunClient([&] {
        bLate = CRemoteWindow("TEST-BUSY").bSendMessageTimeout(kAsk, 0, 0, CInstanceServer::nConnectionDeadlineMs + 200, &answer);
        QMetaObject::invokeMethod(&wnd.nested, "quit", Qt::QueuedConnection);
        bNext = CRemoteWindow("TEST-BUSY").bSendMessageTimeout(kAsk, 0, 0, 5000, &answer);
    });
    EXPECT_FALSE(bLate);
    EXPECT_TRUE(bNext);
    EXPECT_EQ(answer, static_cast<LRESULT>(kAsk));
}

TEST_F(InstanceChannel, IdleClientsNeitherHoldTheChannelNorUseUpItsDescriptors)
{
    CAnsweringWnd wnd;
    CInstanceServer server;
    ASSERT_TRUE(server.bListen("TEST-IDLE", &wnd, [](UINT, WPARAM, LPARAM) { return true; }));
    // Another process sends 3 bytes on each of a dozen connections and falls
    // silent, then asks for real; this one has descriptors for 8 clients.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<int> idle;
        for (int fd; idle.size() < 12 && (fd = ConnectToChannel("TEST-IDLE", 1000)) >= 0; idle.push_back(fd))
            (void)!write(fd, "abc", 3);
        LRESULT answer = 0;
        const BOOL bAnswered = CRemoteWindow("TEST-IDLE").bSendMessageTimeout(kAsk, 0, 0, 4000, &answer);
        _exit(idle.size() == 12 && bAnswered && answer == static_cast<LRESULT>(kAsk) ? 0 : 1);
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    const auto nOpen = static_cast<rlim_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
    rlimit low{nOpen + 8, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    int status = -1;
    // A signal (another thread's child ending, say) may interrupt the wait.
    vRunClient([&] {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    });
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the channel must serve again once the idle clients' deadline passed";
}

TEST_F(InstanceChannel, LockNeverFollowsAPlantedNameAndFallsBackToThePrivateFolder)
{
    const QString cache = dir.path() + "/cache";
    CSavedEnv::vSet("XDG_CACHE_HOME", cache.toLocal8Bit().constData());
    const QString runtime = GetRuntimeFolder();
    ASSERT_EQ(runtime, dir.path());
    // A link planted under the lock's name, a folder under another's.
    ASSERT_EQ(symlink((dir.path() + "/victim").toLocal8Bit().constData(),
                  (runtime + "/TEST-LINK.lock").toLocal8Bit().constData()), 0);
    ASSERT_TRUE(QDir(runtime).mkdir("TEST-DIR.lock"));
    for (const char* name : {"TEST-LINK", "TEST-DIR"}) {
        CInstanceLock first, second;
        ASSERT_TRUE(first.bCreate(name)) << name;
        EXPECT_TRUE(QFile::exists(cache + "/lumicue/" + name + ".lock")) << name;
        EXPECT_FALSE(first.bAlreadyExists());
        ASSERT_TRUE(second.bCreate(name));
        EXPECT_TRUE(second.bAlreadyExists()) << "both starts must meet in the private folder";
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/victim"));
    EXPECT_EQ(QFileInfo(cache + "/lumicue").permissions() & 0x0077, 0) << "the private folder is the user's alone";

    // Without a runtime folder a private folder that is not ours is refused,
    // and so is running without a lock.
    CSavedEnv::vSet("XDG_RUNTIME_DIR", nullptr);
    ASSERT_TRUE(QDir(cache).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/elsewhere"));
    ASSERT_TRUE(QDir().mkpath(cache));
    ASSERT_EQ(symlink((dir.path() + "/elsewhere").toLocal8Bit().constData(), (cache + "/lumicue").toLocal8Bit().constData()), 0);
    EXPECT_EQ(GetRuntimeFolder(), QString());
    CInstanceLock refused;
    EXPECT_FALSE(refused.bCreate("TEST-REFUSED"));
    ASSERT_TRUE(QFile::remove(cache + "/lumicue"));
    ASSERT_TRUE(QDir(cache).mkdir("lumicue"));
    if (getuid() == 0 && chown((cache + "/lumicue").toLocal8Bit().constData(), 1, 1) == 0) {
        EXPECT_EQ(GetPrivateFolder(), QString()) << "a folder another user made for us";
    }
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
