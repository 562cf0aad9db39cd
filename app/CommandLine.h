// The program's command line: the switch words (arguments that start with
// "/" or "-", without that first character, in order) and the GNU-style long
// options that are answered before anything needs a display.
#pragma once

#include <QStringList>

// Collects the switch words of args (args[0] is the program's path) into
// words; answers their number. A word after "/" that holds another "/" or
// names an existing file or folder is a file path, not a switch.
int ParseCommandLine(const QStringList& args, QStringList& words);

enum class StartAction { Normal, Clean, Quit, Hidden };
// What the first switch word asks for; later words are ignored.
StartAction GetStartAction(const QStringList& words);

enum class LongOption { None, Help, Version, Toggle, On, Off, Status, Unknown };
// The long option ("--word") that decides the run: --help before --version
// before the first of the control options. Unknown, with the offending
// argument in unknown, when any long option is not one of these.
LongOption GetLongOption(const QStringList& args, QString* unknown = nullptr);

// arg as it may be printed to a terminal: control and format characters
// (escape sequences, bidirectional overrides) become \xNN or \uNNNN.
QString PrintableArgument(const QString& arg);

// The text of --help.
QString GetUsageText();
