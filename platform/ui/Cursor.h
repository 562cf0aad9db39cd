// Mouse cursors by their Win32 ids, set on the window the mouse is over.
#pragma once

#include "platform/base/Win32.h"

// A cursor is its id; 0 is none.
using HCURSOR = int;

constexpr HCURSOR IDC_ARROW = 32512;
constexpr HCURSOR IDC_IBEAM = 32513;
constexpr HCURSOR IDC_WAIT = 32514;
constexpr HCURSOR IDC_CROSS = 32515;
constexpr HCURSOR IDC_SIZEALL = 32646;
constexpr HCURSOR IDC_HAND = 32649;

// The system cursor with the id (the instance must be null); 0 when unknown.
HCURSOR LoadCursorW(const void* hInstance, HCURSOR nId);
// Shows the cursor over the window whose WM_SETCURSOR is being answered
// (else the window holding the capture); answers the previous one.
HCURSOR SetCursor(HCURSOR hCursor);
// The widget's own cursor again, after SetCursor changed it.
class QWidget;
void vRestoreCursor(QWidget* widget);
// The wait cursor over the whole application, nested.
void BeginWaitCursor();
void EndWaitCursor();
