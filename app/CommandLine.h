// The program's switch words: arguments that start with "/" or "-", without
// that first character, in order.
#pragma once

#include <QStringList>

// Collects the switch words of args (args[0] is the program's path) into
// words; answers their number.
int ParseCommandLine(const QStringList& args, QStringList& words);

enum class StartAction { Normal, Clean, Quit, Hidden };
// What the first switch word asks for; later words are ignored.
StartAction GetStartAction(const QStringList& words);
