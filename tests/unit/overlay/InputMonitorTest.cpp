// Record dispatch of the input monitor over fed null devices: which listener
// slot each record reaches, with which flags and position, from the reader
// thread; start and stop life cycle.
#include "overlay/InputMonitor.h"
#include "overlay/PointerImplement.h"
#include "platform/null/NullOverlay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr auto MOUSE = CInputDevice::KIND_MOUSE;
constexpr auto KEYBOARD = CInputDevice::KIND_KEYBOARD;

struct Call {
    std::string what;
    UINT a;
    int x, y;
    int nListener;
    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Call& c)
{
    return os << c.what << "(" << c.a << "," << c.x << "," << c.y << ")#" << c.nListener;
}

// Calls of every listener go into one shared journal, so their order shows.
struct Journal {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<Call> calls;

    void vAdd(Call c)
    {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(c));
        cv.notify_all();
    }
    // The journal once it holds n calls (or what it has after 5 s).
    std::vector<Call> WaitFor(size_t n)
    {
        std::unique_lock lock(mutex);
        cv.wait_for(lock, std::chrono::seconds(5), [&] { return calls.size() >= n; });
        return calls;
    }
};

class RecordingListener : public CFunImplementBase {
public:
    RecordingListener(Journal& j, int id) : journal(j), nId(id) {}
    BOOL bCreate() override { return TRUE; }
    BOOL bDestroy() override { return TRUE; }
    void vUpdate() override {}
    BOOL bSwitch(BOOL) override { return TRUE; }
    void vOnMouseMove(UINT f, int x, int y) override { journal.vAdd({"move", f, x, y, nId}); }
    void vOnLButtonDown(UINT f, int x, int y) override { journal.vAdd({"ldown", f, x, y, nId}); }
    void vOnLButtonUp(UINT f, int x, int y) override { journal.vAdd({"lup", f, x, y, nId}); }
    void vOnRButtonDown(UINT f, int x, int y) override { journal.vAdd({"rdown", f, x, y, nId}); }
    void vOnRButtonUp(UINT f, int x, int y) override { journal.vAdd({"rup", f, x, y, nId}); }
    void vOnKeyDown(UINT k, DWORD t) override { journal.vAdd({"kdown", k, static_cast<int>(t), 0, nId}); }
    void vOnKeyUp(UINT k, DWORD t) override { journal.vAdd({"kup", k, static_cast<int>(t), 0, nId}); }

private:
    Journal& journal;
    int nId;
};

DIDEVICEOBJECTDATA Rec(DWORD ofs, DWORD data, int x = 0, int y = 0, BOOL ctrl = FALSE, BOOL shift = FALSE)
{
    DIDEVICEOBJECTDATA r;
    r.dwOfs = ofs;
    r.dwData = data;
    r.x = x;
    r.y = y;
    r.bCtrl = ctrl;
    r.bShift = shift;
    return r;
}

class InputMonitorTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        monitor.vStop();
        NullOverlay::vFailDeviceCreate(MOUSE, false);
    }
    void Feed(const DIDEVICEOBJECTDATA& r, CInputDevice::Kind kind = MOUSE) { ASSERT_TRUE(NullOverlay::bFeed(kind, r)); }

    Journal journal;
    RecordingListener first{journal, 1};
    RecordingListener second{journal, 2};
    CInputMonitor monitor;
};

} // namespace

TEST_F(InputMonitorTest, MouseRecordsReachTheListedSlots)
{
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_MOUSE));
    monitor.vAddListener(&first);
    // A diagonal: two movements, each with the position read with its record.
    Feed(Rec(DIMOFS_X, 3, 10, 20));
    Feed(Rec(DIMOFS_Y, 2, 11, 22));
    Feed(Rec(DIMOFS_BUTTON0, 0x80, 11, 22, FALSE, TRUE));
    Feed(Rec(DIMOFS_BUTTON0, 0, 11, 22, TRUE));
    // Wheel and buttons 2 and 3 raise nothing.
    Feed(Rec(DIMOFS_Z, 120, 11, 22));
    Feed(Rec(DIMOFS_BUTTON2, 0x80, 11, 22));
    Feed(Rec(DIMOFS_BUTTON3, 0x80, 11, 22));
    Feed(Rec(DIMOFS_BUTTON1, 0x80, 12, 23));
    Feed(Rec(DIMOFS_BUTTON1, 0, 12, 23, TRUE, TRUE));

    const std::vector<Call> expected = {
        {"move", 0, 10, 20, 1},
        {"move", 0, 11, 22, 1},
        {"ldown", MK_LBUTTON | MK_SHIFT, 11, 22, 1},
        {"lup", 9, 11, 22, 1},
        {"rdown", MK_RBUTTON, 12, 23, 1},
        {"rup", MK_RBUTTON | MK_CONTROL | MK_SHIFT, 12, 23, 1},
    };
    EXPECT_EQ(journal.WaitFor(expected.size()), expected);
    ASSERT_TRUE(NullOverlay::bWaitDrained(MOUSE, 5000));
    EXPECT_EQ(journal.WaitFor(0).size(), expected.size());
}

TEST_F(InputMonitorTest, ListenersAreCalledInOrderAndMayJoinLater)
{
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_MOUSE));
    // With no listeners the records are drained and dropped.
    Feed(Rec(DIMOFS_X, 1, 1, 1));
    ASSERT_TRUE(NullOverlay::bWaitDrained(MOUSE, 5000));
    monitor.vAddListener(&first);
    monitor.vAddListener(&second);
    monitor.vAddListener(&first); // added twice: called twice
    Feed(Rec(DIMOFS_X, 1, 7, 8));
    const std::vector<Call> expected = {
        {"move", 0, 7, 8, 1}, {"move", 0, 7, 8, 2}, {"move", 0, 7, 8, 1}};
    EXPECT_EQ(journal.WaitFor(3), expected);
}

TEST_F(InputMonitorTest, KeyboardRecordsGiveKeyDownAndUp)
{
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_KEYBOARD));
    EXPECT_EQ(NullOverlay::nLiveDevices(MOUSE), 0);
    monitor.vAddListener(&first);
    DIDEVICEOBJECTDATA down = Rec(0x42, 0x80);
    down.dwTimeStamp = 1234;
    DIDEVICEOBJECTDATA up = Rec(0x42, 0);
    up.dwTimeStamp = 1300;
    Feed(down, KEYBOARD);
    Feed(up, KEYBOARD);
    const std::vector<Call> expected = {{"kdown", 0x42, 1234, 0, 1}, {"kup", 0x42, 1300, 0, 1}};
    EXPECT_EQ(journal.WaitFor(2), expected);
}

TEST_F(InputMonitorTest, StartTwiceMakesOneSetAndStopIsRepeatable)
{
    monitor.vStop(); // never started: harmless
    const int nCreated = NullOverlay::nDevicesCreated(MOUSE);
    const int nBound = NullOverlay::nThreadsBound(MOUSE);
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_MOUSE));
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_MOUSE));
    EXPECT_EQ(NullOverlay::nDevicesCreated(MOUSE), nCreated + 1);
    EXPECT_EQ(NullOverlay::nLiveDevices(MOUSE), 1);
    monitor.vAddListener(&first);
    Feed(Rec(DIMOFS_X, 1, 4, 4));
    journal.WaitFor(1);
    EXPECT_EQ(NullOverlay::nThreadsBound(MOUSE), nBound + 1);

    monitor.vStop(); // joins the thread, then releases the device
    EXPECT_EQ(NullOverlay::nLiveDevices(MOUSE), 0);
    monitor.vStop();
    EXPECT_FALSE(NullOverlay::bFeed(MOUSE, Rec(DIMOFS_X, 1)));
}

TEST_F(InputMonitorTest, NoMouseDeviceMeansNoStart)
{
    NullOverlay::vFailDeviceCreate(MOUSE, true);
    EXPECT_FALSE(monitor.bStart(nullptr, MONITOR_MOUSE));
    EXPECT_FALSE(monitor.bStart(nullptr, MONITOR_MOUSE));
    EXPECT_EQ(NullOverlay::nLiveDevices(MOUSE), 0);
}

TEST_F(InputMonitorTest, PointerFollowsRecordsOnlyWhileOn)
{
    std::atomic<BOOL> bOn{FALSE};
    CPointerImplement pointer(bOn);
    ASSERT_TRUE(monitor.bStart(nullptr, MONITOR_MOUSE));
    monitor.vAddListener(&pointer);
    monitor.vAddListener(&first); // called after the pointer: a barrier
    ASSERT_TRUE(pointer.bCreate());
    pointer.wndPoint.nImageWidth = 33;
    pointer.wndPoint.nImageHeight = 33;
    pointer.wndPoint.nHotSpot = -1;

    Feed(Rec(DIMOFS_X, 1, 300, 300));
    journal.WaitFor(1);
    EXPECT_TRUE(NullOverlay::Log(pointer.wndPoint.Layered()).moves.empty());

    bOn = TRUE;
    Feed(Rec(DIMOFS_X, 1, 100, 100));
    Feed(Rec(DIMOFS_Y, 1, 100, 100));
    journal.WaitFor(3);
    auto moves = NullOverlay::Log(pointer.wndPoint.Layered()).moves;
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(84, 84));
    monitor.vStop(); // before the window goes, as the program does
}
