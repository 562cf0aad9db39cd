// A crash that only follows from a lost X server ends the program with
// status 1, as losing the server does anywhere else.
#pragma once

#include <QString>

// Workaround: the toolkit goes on after requests of its start failed on a
// dead connection and may then crash (null replies, bad_alloc, abort).
// From now on a SIGSEGV, SIGBUS or SIGABRT ends the process with status 1
// when the local X server of display (":N") no longer accepts connections;
// any other crash goes to the handler found before (the default action and
// core, or a sanitizer's report). Not armed for a display on another host.
void X11GuardCrashesOnLostServer(const QString& display);
