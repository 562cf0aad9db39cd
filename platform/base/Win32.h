// Plain Windows-style scalar types, message numbers and constants that the
// program is written against. Values are the Win32 ones, so ids,
// files and messages keep their meaning on every platform.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;
using UINT_PTR = std::uintptr_t;
using LANGID = std::uint16_t;
using COLORREF = std::uint32_t; // 0x00BBGGRR

// A window handle is the window object itself.
class CWnd;
using HWND = CWnd*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr HRESULT S_OK = 0;
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;

// A parent's colour request for a child control or for the dialog itself
// (the six WM_CTLCOLOR numbers from edit to static lie in a row).
constexpr BOOL bIsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC;
}

// Messages a parent reflects back to the child control they concern
// (the framework's OCM_ numbers: the message plus 0x2000).
constexpr UINT OCM__BASE = WM_USER + 0x1C00;
constexpr UINT OCM_DRAWITEM = OCM__BASE + WM_DRAWITEM;
constexpr UINT OCM_NOTIFY = OCM__BASE + WM_NOTIFY;
constexpr UINT OCM_CTLCOLORSTATIC = OCM__BASE + WM_CTLCOLORSTATIC;

// WM_ACTIVATE states.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;

// WM_SETCURSOR hit test.
constexpr WORD HTCLIENT = 1;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// Notification codes.
constexpr UINT NM_RELEASEDCAPTURE = static_cast<UINT>(-16);
constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551);
constexpr WORD STN_CLICKED = 0;
constexpr WORD BN_CLICKED = 0;
constexpr WORD CBN_SELCHANGE = 1;
// WM_HSCROLL from a trackbar: its position changed (LPARAM: the trackbar).
constexpr WORD TB_THUMBPOSITION = 4;

// Owner-draw control kinds and actions.
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 1;

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
// Extended style: the window blends with what lies beneath it.
constexpr DWORD WS_EX_LAYERED = 0x00080000;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

// Excludes its right and bottom edges.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

inline LONG RectWidth(const RECT& rc) { return rc.right - rc.left; }
inline LONG RectHeight(const RECT& rc) { return rc.bottom - rc.top; }
inline BOOL IsRectEmpty(const RECT* rc) { return rc->right <= rc->left || rc->bottom <= rc->top; }
inline BOOL PtInRect(const RECT* rc, POINT pt)
{
    return pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}
inline void OffsetRect(RECT* rc, LONG dx, LONG dy) { *rc = RECT{rc->left + dx, rc->top + dy, rc->right + dx, rc->bottom + dy}; }
inline void InflateRect(RECT* rc, LONG dx, LONG dy) { *rc = RECT{rc->left - dx, rc->top - dy, rc->right + dx, rc->bottom + dy}; }
// FALSE (and an empty result) when the two do not overlap.
inline BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b)
{
    RECT r{a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
        a->right < b->right ? a->right : b->right, a->bottom < b->bottom ? a->bottom : b->bottom};
    if (IsRectEmpty(&r)) {
        *out = RECT{};
        return FALSE;
    }
    *out = r;
    return TRUE;
}
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The header of every WM_NOTIFY.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

class CDC;
// What WM_DRAWITEM carries: the control, its rectangle and a surface to draw on.
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    CDC* hDC = nullptr;
    RECT rcItem;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// A queued input message, as PreTranslateMessage sees it.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>(c >> 16); }
constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;

constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_RESTORE = 0xF120;

constexpr UINT IDOK = 1;
constexpr UINT IDCANCEL = 2;
constexpr UINT ID_APP_EXIT = 57665;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// Message box styles.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_TOPMOST = 0x00040000;

// Icon sizes for WM_SETICON.
constexpr WPARAM ICON_BIG = 1;

// Mouse-message key flags.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Hotkey modifiers.
constexpr UINT MOD_ALT = 0x0001;
constexpr UINT MOD_CONTROL = 0x0002;
constexpr UINT MOD_SHIFT = 0x0004;
constexpr UINT MOD_WIN = 0x0008;

constexpr int MAX_PATH = 260;

inline WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(lo)) | (static_cast<DWORD>(static_cast<WORD>(hi)) << 16));
}
inline WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(MAKELPARAM(lo, hi)) & 0xFFFFFFFFu; }
// Signed client coordinates of a mouse message.
inline int GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return static_cast<short>((wp >> 16) & 0xFFFF); }
inline int GET_X_LPARAM(LPARAM lp) { return static_cast<short>(lp & 0xFFFF); }
inline int GET_Y_LPARAM(LPARAM lp) { return static_cast<short>((lp >> 16) & 0xFFFF); }
