// The user's language as a Windows language id, taken from the POSIX locale
// settings, so language files keep the ids they were written with.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// The id for a locale name such as "de_DE.UTF-8" or "pt_BR@euro": the
// language with its territory (and script modifier, "sr_RS@latin"), else the
// language's most used territory;
// "C", "POSIX", empty and unknown names give 1033 (English, United States).
LANGID LangIdFromLocaleName(const QString& localeName);

// The user's language in the order the GNU tools take it: the first known
// entry of LANGUAGE (a colon-separated list) unless the locale is C, else the
// first non-empty of LC_ALL, LC_MESSAGES and LANG.
LANGID GetUserDefaultLangID();
