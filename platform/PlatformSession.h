// The program's session with the window system: checked before the toolkit
// starts, and at the end the connections the platform layer opened on its
// own are closed before the toolkit goes.
#pragma once

#include <QString>

// Checks that the window system can be reached and makes the toolkit use it;
// FALSE with the reason in strProblem, one line, when it cannot.
bool bPrepareSession(QString& strProblem);
void vEndPlatformSession();
