// Keeping the overlay above other windows without waking the UI thread: the
// mouse reader's connection watches the root's children (it wakes for motion
// anyway, and our own moves echo back there rather than to the UI loop), and
// raises the overlay when another window is mapped or restacked over it.
#pragma once

// Include after any Qt header: Xlib defines Bool, Status and None as macros.
#include <X11/Xlib.h>

// The mapped overlay to keep on top, or 0 while it is hidden or gone.
void X11SetOverlayToKeepOnTop(Window win);
// Called for every non-input event a reader connection reads.
void X11KeepOverlayOnTop(Display* dpy, const XEvent& ev);
