// The end of the program's session with the window system: connections the
// platform layer opened on its own are closed before the toolkit goes.
#pragma once

#include <QString>

// Its start: checks that the window system can be reached and makes the
// toolkit use it; false with the reason in strProblem, one line, when not.
bool bPrepareSession(QString& strProblem);
void vEndPlatformSession();
