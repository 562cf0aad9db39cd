// The end of the program's session with the window system: connections the
// platform layer opened on its own are closed before the toolkit goes.
#pragma once

void vEndPlatformSession();
