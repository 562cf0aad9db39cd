// Where the program lives and where the user's settings go; paths use '/'.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// The folder that holds the program's "pointer" and "Language" folders,
// ending in '/': the executable's own folder when they lie beside it (a
// build folder), else ../share/lumicue/ from there (an installed program).
QString GetProgramDataFolder();
// The variable's value when it is an absolute path, else empty: the XDG
// rules count a relative value as unset.
QString GetAbsoluteEnv(const char* name);
// An XDG base folder: $variable, else $HOME/homeRelative; empty when neither
// variable gives an absolute path.
QString GetXdgFolder(const char* variable, const QString& homeRelative);
// The user's application-data folder: $XDG_CONFIG_HOME, else ~/.config.
// With bCreate the folder is made when missing. FALSE when neither
// variable gives an absolute path or the folder cannot be had.
BOOL bGetAppDataFolder(QString& folder, BOOL bCreate);
