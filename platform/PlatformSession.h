// The end of the program's session with the window system: connections the
// platform layer opened on its own are closed before the toolkit goes; and
// what happens when the window system goes away under the program.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// Its start: checks that the window system can be reached and makes the
// toolkit use it; false with the reason in strProblem, one line, when not.
BOOL bPrepareSession(QString& strProblem);
// Once the toolkit has started: the session's way of showing and following
// the pointer is chosen (see DesktopRoute.h).
void vStartPlatformSession();
void vEndPlatformSession();

// The last step when the window system is lost: it runs once, on the thread
// that found the loss, and must not touch the display (saving a file is
// fine). Null for none.
using SessionLostFn = void (*)();
void vSetSessionLostHandler(SessionLostFn pfn);

// Runs the last step, then ends the process with status 1 at once: no
// destructor runs, since the objects they would tear down still stand on the
// lost connection (a toolkit call may even be under way on this thread).
[[noreturn]] void vLeaveOnSessionLost();
