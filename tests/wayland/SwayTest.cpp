// Lumicue on a headless sway, which tells no program where the pointer is:
// the picture never shows (no X11 overlay swallows clicks meant for a native
// window), --toggle says the pointer cannot be followed and why, --status
// says off, and /u leaves nothing behind.
#include "WaylandSession.h"

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kSway = "/usr/bin/sway";
constexpr int kWidth = 1280, kHeight = 800;

// A virtual pointer on a connection of the test's own: the headless
// compositor has no input device, and without one no window gets a pointer.
class CVirtualPointer {
public:
    ~CVirtualPointer()
    {
        if (pointer)
            zwlr_virtual_pointer_v1_destroy(pointer);
        if (manager)
            zwlr_virtual_pointer_manager_v1_destroy(manager);
        if (dpy)
            wl_display_disconnect(dpy);
    }
    bool bConnect(const std::string& strSocket)
    {
        dpy = wl_display_connect(strSocket.c_str());
        if (!dpy)
            return false;
        wl_registry* registry = wl_display_get_registry(dpy);
        static const wl_registry_listener listener = {
            [](void* data, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
                if (!std::strcmp(iface, zwlr_virtual_pointer_manager_v1_interface.name))
                    static_cast<CVirtualPointer*>(data)->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
                        wl_registry_bind(r, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(dpy);
        wl_registry_destroy(registry);
        if (!manager)
            return false;
        pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
        return wl_display_roundtrip(dpy) >= 0;
    }
    void vMoveTo(int x, int y)
    {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, x, y, kWidth, kHeight);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(dpy);
    }
    void vClick()
    {
        for (uint32_t state : {1u, 0u}) {
            zwlr_virtual_pointer_v1_button(pointer, 0, BTN_LEFT, state);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        wl_display_roundtrip(dpy);
    }

private:
    wl_display* dpy = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
};

class SwayTest : public CWaylandSession {
protected:
    void SetUp() override
    {
        if (!fs::exists(kSway))
            GTEST_SKIP() << kSway << " is not installed (scripts/install-deps installs sway)";
        CWaylandSession::SetUp();
        // sway refuses to run as root.
        ASSERT_TRUE(bBecomeThrowAwayUser());
        ASSERT_TRUE(bStartBus());
        ASSERT_TRUE(bStartSway());
        ASSERT_TRUE(pointer.bConnect(strSocket));
        ASSERT_TRUE(windowEvents.bStart({"swaymsg", "-s", strIpc, "-m", "-t", "subscribe", "[\"window\"]"}, {},
            (dir.LogDir() / "windows.log").string()));
    }
    void TearDown() override
    {
        CWaylandSession::TearDown();
        windowEvents.vStop();
        sway.vStop(1000);
        vRemoveThrowAwayUser();
    }

    // sway's configuration reports its XWayland display and its IPC socket.
    bool bStartSway()
    {
        const fs::path ready = dir.LogDir() / "ready";
        swayRuntime = dir.Root() / "sway-run";
        fs::create_directories(swayRuntime);
        fs::permissions(swayRuntime, fs::perms::owner_all);
        const fs::path config = dir.Root() / "sway.config";
        std::ofstream(config) << "output HEADLESS-1 resolution " << kWidth << 'x' << kHeight << "\n"
                              << "exec printf '%s %s\\n' \"$DISPLAY\" \"$SWAYSOCK\" > " << (swayRuntime / "r").string()
                              << " && mv " << (swayRuntime / "r").string() << ' ' << ready.string() << "\n";
        if (!bGiveToUser(swayRuntime) || !bGiveToUser(config))
            return false;
        if (!sway.bStart(AsUser({kSway, "-c", config.string()}),
                {"XDG_RUNTIME_DIR=" + swayRuntime.string(), "HOME=" + dir.Home().string(),
                    "XDG_CONFIG_HOME=" + dir.ConfigHome().string(), "WLR_BACKENDS=headless",
                    "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1", "WAYLAND_DISPLAY=", "DISPLAY=",
                    "DBUS_SESSION_BUS_ADDRESS=" + strBusAddress},
                (dir.LogDir() / "sway.log").string()))
            return false;
        if (nWaitForText(ready, {"\n"}) == std::string::npos)
            return false;
        std::istringstream words(strRead(ready));
        words >> strDisplay >> strIpc;
        for (const auto& entry : fs::directory_iterator(swayRuntime))
            if (entry.path().filename().string().rfind("wayland-", 0) == 0 && entry.path().extension() != ".lock")
                strSocket = entry.path().string();
        return !strDisplay.empty() && !strIpc.empty() && !strSocket.empty();
    }
    std::vector<std::string> SessionEnv() const
    {
        return {"WAYLAND_DISPLAY=" + strSocket, "DISPLAY=" + strDisplay};
    }

    // The screen's colour at a point; grim copies the next frame sway shows,
    // so each try waits for one.
    template <class Pred> bool bPixelBecomes(int x, int y, Pred pred)
    {
        const fs::path shot = dir.LogDir() / "pixel.ppm";
        const CDeadline deadline = CDeadline::Seconds(10);
        while (!deadline.bExpired()) {
            CChildProcess grim;
            if (!grim.bStart({"grim", "-g", std::to_string(x) + ',' + std::to_string(y) + " 1x1", "-t", "ppm",
                                 shot.string()},
                    {"WAYLAND_DISPLAY=" + strSocket, "XDG_RUNTIME_DIR=" + swayRuntime.string()},
                    (dir.LogDir() / "grim.log").string())
                || !grim.bWaitExit(deadline) || grim.nExitCode() != 0)
                return false;
            const std::string ppm = strRead(shot);
            if (ppm.size() >= 3) {
                const auto* rgb = reinterpret_cast<const unsigned char*>(ppm.data() + ppm.size() - 3);
                if (pred(rgb[0], rgb[1], rgb[2]))
                    return true;
            }
        }
        return false;
    }

    std::string strLogText() const
    {
        std::string text;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir.DataDir() / "Log", ec))
            text += strRead(entry.path());
        return text;
    }

    CChildProcess sway;
    CChildProcess windowEvents;
    fs::path swayRuntime;
    std::string strSocket;
    std::string strDisplay;
    std::string strIpc;
    CVirtualPointer pointer;
};

bool bIsGreen(int r, int g, int b) { return r < 60 && g > 200 && b < 60; }

TEST_F(SwayTest, NeverShowsThePictureAndSaysWhy)
{
    ASSERT_TRUE(bWritePictureAndOptions());
    // A native window over the whole screen that logs the presses it gets.
    const fs::path clicks = dir.LogDir() / "clicks";
    CChildProcess native;
    ASSERT_TRUE(native.bStart({"gjs", LUMICUE_SOURCE_DIR "/tests/wayland/click-window.js", clicks.string()},
        {"WAYLAND_DISPLAY=" + strSocket, "XDG_RUNTIME_DIR=" + swayRuntime.string(), "HOME=" + dir.Home().string(),
            "GDK_BACKEND=wayland", "GSK_RENDERER=cairo", "DISPLAY=", "DBUS_SESSION_BUS_ADDRESS=" + strBusAddress},
        (dir.LogDir() / "native.log").string()));
    ASSERT_TRUE(bPixelBecomes(200, 700, bIsGreen)) << "the native window did not show";

    // Started once its window is there (the channel listens by then).
    CChildProcess& program = Launch({}, SessionEnv());
    const fs::path windows = dir.LogDir() / "windows.log";
    const std::size_t nStarted = nWaitForText(windows, {"\"change\": \"new\"", "\"class\": \"lumicue\""});
    ASSERT_NE(nStarted, std::string::npos);

    pointer.vMoveTo(200, 700);
    CChildProcess& toggle = Launch({"--toggle"}, SessionEnv());
    EXPECT_EQ(nWaitExit(toggle), 4);
    EXPECT_NE(toggle.strLogText().find("Lumicue cannot follow the pointer on this desktop; the pointer stays off."),
        std::string::npos);
    EXPECT_NE(strLogText().find("Lumicue cannot follow the pointer on this desktop: this Wayland compositor does not "
                                "tell programs where the pointer is"),
        std::string::npos);
    CChildProcess& status = Launch({"--status"}, SessionEnv());
    EXPECT_EQ(nWaitExit(status), 0);
    EXPECT_NE(status.strLogText().find("off\n"), std::string::npos);

    // No picture at the pointer, and nothing there takes the press.
    // (The pointer's own image is drawn right and below of its point.)
    EXPECT_TRUE(bPixelBecomes(200 - 20, 700 - 20, bIsGreen));
    pointer.vClick();
    EXPECT_NE(nWaitForText(clicks, {"press 200 700\n"}), std::string::npos)
        << "the press did not reach the native window under the pointer";

    // /u ends the program; its window goes with it.
    EXPECT_EQ(nWaitExit(Launch({"/u"}, SessionEnv())), 0);
    EXPECT_EQ(nWaitExit(program), 0);
    EXPECT_NE(nWaitForText(windows, {"\"change\": \"close\"", "\"class\": \"lumicue\""}, nStarted), std::string::npos);
    native.vStop();
}

} // namespace
