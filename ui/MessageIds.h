// The program's own window messages, in one place so that no two collide.
#pragma once

#include "platform/base/Win32.h"

// The notification icon's callback to the main window.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 110;
// Posted by the grid to its window and relayed to the page (WPARAM: the id).
constexpr UINT WM_IMAGETYPE_SELECTED = WM_USER + 1150;
constexpr UINT WM_IMAGETYPE_CANCELLED = WM_USER + 1151;
// Posted by the Pointer page to itself after its first paint: the gallery's
// pictures are decoded while the user has not yet asked for them, but not
// before the window has something to show.
constexpr UINT WM_WARM_GALLERY = WM_USER + 1152;
// The update checker's reports to its window: a new version (handled), and
// information that nothing handles.
constexpr UINT WM_UPDATE_NEWVERSION = WM_USER + 2000;
constexpr UINT WM_UPDATE_INFO = WM_USER + 2001;
