// The test's own Xlib connection to its private server: finds and inspects
// the program's windows, drives input through XTest, reads screen pixels,
// makes plain test windows, and waits for conditions on X events with a
// deadline (poll() on the connection, the condition re-checked per event).
#pragma once

#include "Deadline.h"

#include <X11/Xlib.h>

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct TestRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TestRect&) const = default;
};

class CTestDisplay {
public:
    CTestDisplay() = default;
    ~CTestDisplay();
    CTestDisplay(const CTestDisplay&) = delete;
    CTestDisplay& operator=(const CTestDisplay&) = delete;

    bool bOpen(const std::string& strName);
    void vClose();
    Display* Dpy() const { return dpy; }
    Window Root() const { return root; }

    // --- waiting -------------------------------------------------------
    // Re-checks cond after every X event (and every readable extra fd)
    // until it holds or the deadline passes; the condition's final answer.
    bool bWaitUntil(const std::function<bool()>& cond, const CDeadline& deadline,
                    const std::vector<int>& extraFds = {});
    // Takes whatever events arrive until the deadline: the bounded wait for
    // tests that need "nothing happened".
    void vSettle(const CDeadline& deadline);
    // Reads every event already sent to this connection into the records.
    void vPump();

    // --- windows -------------------------------------------------------
    // The top-level-most window whose WM_NAME or _NET_WM_NAME is the title
    // (and whose _NET_WM_PID is pid, when pid is not 0); None when absent.
    Window FindWindowByTitle(const std::string& strTitle, pid_t pid = 0);
    Window WaitForWindow(const std::string& strTitle, pid_t pid, bool bViewable, const CDeadline& deadline);
    std::string strTitle(Window w);
    pid_t WindowPid(Window w);
    // The 32-bit items of a property of any type (WM_STATE, _NET_WM_STATE,
    // _NET_ACTIVE_WINDOW, ...); empty when it is absent.
    std::vector<long> Property32(Window w, const char* szProperty);
    bool bPropertyHasAtom(Window w, const char* szProperty, const char* szAtom);
    bool bExists(Window w);
    bool bIsViewable(Window w);
    bool bGeometry(Window w, TestRect& rc);
    // The pointer overlay: a mapped override-redirect top-level of depth 32
    // (or of class "lumicue-pointer" on a screen without a 32-bit visual).
    Window FindOverlay();
    // Whether the window was seen mapped / unmapped since the connection opened.
    bool bSeenMapped(Window w) const;
    bool bSeenUnmapped(Window w) const;
    // Every window seen mapped on the root so far, in order.
    std::vector<Window> SeenMapped() const;
    // XSetInputFocus (there is no window manager to do it); false on error.
    bool bFocus(Window w);
    Window FocusWindow();

    // --- input through XTest -------------------------------------------
    // Presses and releases keysym with the modifier keys of mods held
    // (ShiftMask, ControlMask, Mod1Mask for Alt).
    bool bKey(unsigned long keysym, unsigned int mods = 0);
    void vMove(int x, int y);
    void vClick(unsigned int button = 1);

    // --- screen --------------------------------------------------------
    // 0xRRGGBB pixels of the root window (the composited screen when a
    // compositing manager runs), row by row.
    std::vector<uint32_t> Pixels(const TestRect& rc);
    uint32_t Pixel(int x, int y);
    // Makes the composited screen's repaints wake bWaitUntil.
    bool bWatchScreen();

    // --- test windows --------------------------------------------------
    // A plain depth-24 top-level filled with rgb, with an invisible cursor,
    // mapped and viewable on return; its presses are recorded.
    Window CreateTestWindow(const TestRect& rc, uint32_t rgb, const std::string& strName = "test window");
    int nButtonPresses(Window w) const;
    int nKeyPresses(Window w, unsigned long keysym) const;

    // --- grabs and selections ------------------------------------------
    bool bGrabKey(unsigned long keysym, unsigned int mods);
    void vUngrabKey(unsigned long keysym, unsigned int mods);
    bool bHasSelectionOwner(const std::string& strSelection);
    void vWatchSelection(const std::string& strSelection);

private:
    struct Record {
        int type;
        Window window;
        unsigned int detail;  // keycode or button
    };
    void vRecord(const XEvent& ev);
    Window FindInTree(Window w, const std::string& strTitle, pid_t pid, int depth);
    void vWatchTopLevel(Window w);
    Atom AtomOf(const char* name);

    Display* dpy = nullptr;
    Window root = 0;
    int nFixesEvent = 0;
    int nDamageEvent = -1;
    std::vector<Record> records;
    std::set<Window> ownWindows;
    std::set<Window> watched;
    Cursor invisibleCursor = 0;
};
