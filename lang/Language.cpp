// Language selection and lookup. The language is chosen once at start-up;
// every lookup reads the active file afresh, as the profile functions do.
#include "lang/Language.h"

#include "platform/storage/Folders.h"

#include "platform/storage/Ini.h"
#include "platform/base/Locale.h"
#include "platform/ui/Display.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Wnd.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

QString g_strLangFolder = QStringLiteral("Language");
QString g_strLangExt = QStringLiteral(".lng");
QString g_strConfigFile;
QString g_szLangFile;
std::optional<QFont> g_hLangFont;

namespace {

constexpr DWORD LANG_VALUE_BUFFER = 1024;
constexpr DWORD FONT_NAME_BUFFER = 32;
constexpr qsizetype SECTION_NAME_MAX = 31;
constexpr qsizetype LANG_PATH_MAX = MAX_PATH - 1;
// A language file asking for a huge font would make every dialog unusable.
constexpr int LANG_FONT_MAX_PIXELS = 256;

const QString kSectionText = QStringLiteral("Text");
const QString kSectionLanguage = QStringLiteral("Language");

// The section's value for the key in the active file; empty when absent.
QString LangValue(const QString& section, const QString& key)
{
    QString value;
    GetPrivateProfileStringW(section, key, QString(), value, LANG_VALUE_BUFFER, g_szLangFile);
    return value;
}

void TranslateWindow(CWnd* pWnd, const QString& section)
{
    const QString cls = pWnd->GetClassName().left(255);
    const bool bUserData = cls.compare(u"Edit", Qt::CaseInsensitive) == 0
                           || cls.compare(u"ComboBox", Qt::CaseInsensitive) == 0
                           || cls.compare(u"ListBox", Qt::CaseInsensitive) == 0;
    if (!bUserData) {
        const QString text = LangValue(section, QString::number(static_cast<UINT>(pWnd->GetDlgCtrlID())));
        if (!text.isEmpty())
            pWnd->SetWindowText(text);
    }
    if (g_hLangFont)
        pWnd->SetFont(*g_hLangFont, FALSE);
}

void TranslateDialogSection(CWnd* pWnd, const QString& section)
{
    if (g_szLangFile.isEmpty() || !pWnd)
        return;
    TranslateWindow(pWnd, section);
    for (CWnd* child : pWnd->EnumChildWindows())
        if (child)
            TranslateWindow(child, section);
}

void TranslateMenuItems(CMenu& menu, const QString& section, const QString& parentKey)
{
    for (int nPos = 0; nPos < menu.GetMenuItemCount(); ++nPos) {
        const CMenu::Item* item = menu.GetItem(nPos);
        if (!item || item->nId == 0)
            continue; // skipped with its submenu
        CMenu* sub = item->pSubMenu.get();
        const QString key = sub ? parentKey + u'|' + QString::number(nPos) : QString::number(item->nId);
        if (!item->bSeparator) {
            const QString text = LangValue(section, key);
            if (!text.isEmpty())
                menu.SetMenuItemText(nPos, text);
        }
        if (sub)
            TranslateMenuItems(*sub, section, key);
    }
}

void TranslateMenuSection(CMenu& menu, const QString& section)
{
    if (g_szLangFile.isEmpty())
        return;
    TranslateMenuItems(menu, section, QString());
}

// Language files in the folder, in the order they are searched: by name,
// compared code unit by code unit, so the choice does not depend on the
// file system.
QStringList LanguageFiles()
{
    const QDir dir(GetLangAppDir() + g_strLangFolder);
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort))
        if (name.endsWith(g_strLangExt, Qt::CaseInsensitive))
            names.append(name);
    std::sort(names.begin(), names.end());
    QStringList paths;
    for (const QString& name : names)
        paths.append(dir.filePath(name));
    return paths;
}

} // namespace

QString GetLangAppDir()
{
    return GetProgramDataFolder();
}

int nLangFontHeight(int nPoints, int nDpi)
{
    // MulDiv answers -1 for what does not fit: a huge size would become a
    // tiny font, so the product is taken in 64 bits and saturated.
    if (nDpi == 0)
        return 0;
    const long long nScaled = (static_cast<long long>(nPoints) * nDpi + (nPoints < 0 ? -36 : 36)) / 72;
    return static_cast<int>(-std::clamp<long long>(nScaled, -INT32_MAX, INT32_MAX));
}

int nLangFontPoints(const QString& value)
{
    // The size's digits, saturated instead of wrapped past the int range.
    const QString text = value.trimmed();
    qsizetype i = 0;
    const bool bNegative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    long long n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        n = std::min<long long>(n * 10 + (text[i].unicode() - u'0'), INT32_MAX);
    return static_cast<int>(bNegative ? -n : n);
}

UINT InitLanguage(const QString* folder, const QString* ext, const QString* configFolder)
{
    if (folder)
        g_strLangFolder = *folder;
    if (ext)
        g_strLangExt = *ext;

    if (configFolder) {
        g_strConfigFile = *configFolder;
        if (!g_strConfigFile.endsWith(u'/'))
            g_strConfigFile += u'/';
        g_strConfigFile += QStringLiteral("Config.ini");
    } else {
        g_strConfigFile = GetLangAppDir() + g_strLangFolder + QStringLiteral("/Config.ini");
    }

    const UINT nWanted =
        GetPrivateProfileIntW(QStringLiteral("Main"), QStringLiteral("Language"), GetUserDefaultLangID(), g_strConfigFile)
        & 0xFFFFu;
    if (nWanted == 0)
        return 0;

    for (const QString& path : LanguageFiles()) {
        // A longer path would not fit the platform's path buffer; cutting it
        // would name some other file.
        if (path.size() > LANG_PATH_MAX)
            continue;
        if (GetPrivateProfileIntW(kSectionLanguage, kSectionLanguage, 0, path) == nWanted) {
            g_szLangFile = path;
            ApplyLanguage(nWanted);
            return nWanted;
        }
    }
    return 0;
}

void ApplyLanguage(UINT nLangId)
{
    if (!g_strConfigFile.isEmpty())
        WritePrivateProfileStringW(QStringLiteral("Main"), QStringLiteral("Language"),
                                   QString::number(static_cast<int>(nLangId)), g_strConfigFile);

    g_hLangFont.reset();
    if (g_szLangFile.isEmpty())
        return;
    QString faceName;
    GetPrivateProfileStringW(kSectionLanguage, QStringLiteral("FontName"), QString(), faceName, FONT_NAME_BUFFER,
                             g_szLangFile);
    if (faceName.isEmpty())
        return;

    QFont font(faceName);
    QString sizeText;
    GetPrivateProfileStringW(kSectionLanguage, QStringLiteral("FontSize"), QString(), sizeText, FONT_NAME_BUFFER,
                             g_szLangFile);
    const int nSize = nLangFontPoints(sizeText);
    if (nSize != 0) {
        const int nHeight = nLangFontHeight(nSize, GetDisplayDeviceCaps(LOGPIXELSY));
        if (nHeight != 0)
            font.setPixelSize(std::clamp(std::abs(nHeight), 1, LANG_FONT_MAX_PIXELS));
    }
    g_hLangFont = font;
}

QString GetLangText(const QString& id, const QString& defaultText)
{
    if (!g_szLangFile.isEmpty()) {
        const QString text = LangValue(kSectionText, id);
        if (!text.isEmpty())
            return text;
    }
    return defaultText;
}

void TranslateDialog(CWnd* pWnd, UINT nSectionId)
{
    TranslateDialogSection(pWnd, QString::number(nSectionId));
}

void TranslateDialog(CWnd* pWnd, const QString& sectionName)
{
    TranslateDialogSection(pWnd, sectionName.left(SECTION_NAME_MAX));
}

void TranslateMenu(CMenu& menu, UINT nSectionId)
{
    TranslateMenuSection(menu, QString::number(nSectionId));
}

void TranslateMenu(CMenu& menu, const QString& sectionName)
{
    TranslateMenuSection(menu, sectionName.left(SECTION_NAME_MAX));
}

std::vector<SLanguageChoice> AvailableLanguages()
{
    std::vector<SLanguageChoice> choices{{0, QStringLiteral("English")}};
    for (const QString& path : LanguageFiles()) {
        const UINT nId = GetPrivateProfileIntW(kSectionLanguage, kSectionLanguage, 0, path) & 0xFFFFu;
        if (nId == 0)
            continue;
        QString name;
        GetPrivateProfileStringW(kSectionLanguage, QStringLiteral("Name"), QString(), name, LANG_VALUE_BUFFER, path);
        if (name.isEmpty())
            name = QFileInfo(path).completeBaseName();
        choices.push_back({nId, name});
    }
    return choices;
}

int nStoredLanguageChoice()
{
    QString value;
    GetPrivateProfileStringW(QStringLiteral("Main"), QStringLiteral("Language"), QString(), value, 32, g_strConfigFile);
    if (value.isEmpty())
        return LANG_AUTOMATIC;
    const UINT nId = GetPrivateProfileIntW(QStringLiteral("Main"), QStringLiteral("Language"), 0, g_strConfigFile) & 0xFFFFu;
    return nId == GetUserDefaultLangID() ? LANG_AUTOMATIC : static_cast<int>(nId);
}

BOOL bStoreLanguageChoice(int nChoice)
{
    if (g_strConfigFile.isEmpty())
        return FALSE;
    const QString value = nChoice == LANG_AUTOMATIC ? QString() : QString::number(nChoice);
    return WritePrivateProfileStringW(QStringLiteral("Main"), QStringLiteral("Language"), value, g_strConfigFile);
}

void vResetLanguage()
{
    g_strLangFolder = QStringLiteral("Language");
    g_strLangExt = QStringLiteral(".lng");
    g_strConfigFile.clear();
    g_szLangFile.clear();
    g_hLangFont.reset();
}
