// The user-interface language: which language file is active, code texts by
// id with English defaults, and dialogs and menus translated in place.
#pragma once

#include "platform/base/Win32.h"

#include <QFont>
#include <QString>
#include <optional>
#include <vector>

class CWnd;
class CMenu;

// Folder of the language files, relative to the executable's folder.
extern QString g_strLangFolder;
// Extension of the language files.
extern QString g_strLangExt;
// Full path of Config.ini.
extern QString g_strConfigFile;
// Full path of the active language file (at most 259 characters); empty
// while the built-in English texts are used.
extern QString g_szLangFile;
// The font the active language file names, if it names one.
extern std::optional<QFont> g_hLangFont;

// Chooses the language once at start-up: folder and extension replace the
// current ones when given; Config.ini lives in configFolder (or, with none,
// in the language folder). Answers the language id made active, or 0 when
// English stays.
UINT InitLanguage(const QString* folder, const QString* ext, const QString* configFolder);

// Records the id in Config.ini (failures ignored) and makes the language
// font from the active file.
void ApplyLanguage(UINT nLangId);

// The active file's text for the id in section "Text", else the default.
QString GetLangText(const QString& id, const QString& defaultText);

// Translates the window and every window below it, from the section named by
// the template id (or by name, at most 31 characters).
void TranslateDialog(CWnd* pWnd, UINT nSectionId);
void TranslateDialog(CWnd* pWnd, const QString& sectionName);

// Translates the menu's items and submenus from the section.
void TranslateMenu(CMenu& menu, UINT nSectionId);
void TranslateMenu(CMenu& menu, const QString& sectionName);

// A language the user can choose for the next start.
struct SLanguageChoice {
    UINT nLangId;     // 0: the built-in English
    QString strName;  // in the language itself
};
// The built-in English, then every language file found, in search order,
// named by its "Language"/"Name" (the file's name without extension when it
// has none).
std::vector<SLanguageChoice> AvailableLanguages();
// The choice Config.ini holds for the next start: the id, or
// LANG_AUTOMATIC when the key is absent or names the system's own language.
constexpr int LANG_AUTOMATIC = -1;
int nStoredLanguageChoice();
// Writes the choice to Config.ini's Language key; LANG_AUTOMATIC empties the
// key, so that the next start asks the system again.
BOOL bStoreLanguageChoice(int nChoice);

// The folder that holds the program's Language folder, ending in '/'.
QString GetLangAppDir();

// Font height in pixels for a size in points: -MulDiv(points, dpi, 72),
// saturated at the int range instead of failing.
int nLangFontHeight(int nPoints, int nDpi);
// A language file's font size: leading sign and digits, as the profile
// functions read a number, but saturated at the int range.
int nLangFontPoints(const QString& value);

// Puts the globals back to their values at process start (for tests).
void vResetLanguage();
