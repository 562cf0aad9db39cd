// The dialog templates of the program, in dialog units as the resource
// compiler would hold them (every control visible unless it lacks WS_VISIBLE).
#include "res/LumicueResources.h"

#include "res/MakerSite.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD V = WS_VISIBLE;

const DialogTemplate kMainDialog{
    IDD_LUMICUE_MAIN, QStringLiteral("Lumicue"), 0, 0, 281, 238, FALSE,
    {
        {IDC_APP_ICON, QStringLiteral("Static"), QStringLiteral("2"), 12, 10, 21, 20, SS_ICON | V},
        {IDC_APP_TITLE, QStringLiteral("Static"), QStringLiteral("Lumicue V1.0"), 36, 7, 194, 17, SS_NOPREFIX | V},
        {IDC_APP_SUBTITLE, QStringLiteral("Static"),
            QStringLiteral("High visibility pointers for teaching, presentations and screencasts"), 35, 24, 239, 11,
            SS_LEFT | V},
        {IDC_LINK_DONATE, QStringLiteral("Static"), QString(), 34, 40, 240, 11, SS_LEFT | V},
        {IDC_TAB_SHEET, QStringLiteral("SysTabControl32"), QString(), 7, 55, 267, 151, WS_TABSTOP | V},
        {IDC_LINK_SITE, QStringLiteral("Static"), QString::fromLatin1(MAKER_SITE), 8, 215, 149, 13,
            SS_CENTERIMAGE | V},
        {IDOK, QStringLiteral("Button"), QStringLiteral("&Hide"), 164, 216, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | V},
        {IDC_EXIT, QStringLiteral("Button"), QStringLiteral("E&xit"), 224, 216, 50, 14, BS_PUSHBUTTON | WS_TABSTOP | V},
    },
};

const DialogTemplate kPointerPage{
    IDD_POINTER_PAGE, QString(), 0, 0, 259, 106, TRUE,
    {
        {IDC_POINTER_LABEL, QStringLiteral("Static"), QStringLiteral("High Visibility &Pointer:"), 4, 9, 74, 10,
            SS_CENTERIMAGE | WS_GROUP | V, WS_EX_RIGHT},
        {IDC_POINTER_PREVIEW, QStringLiteral("Static"), QString(), 87, 6, 32, 32, SS_OWNERDRAW | SS_NOTIFY | V},
        {IDC_POINTER_HINT, QStringLiteral("Static"), QStringLiteral("Click to choose another pointer"), 17, 22, 61, 20,
            SS_RIGHT | WS_GROUP | V},
        {IDC_OPACITY_LABEL, QStringLiteral("Static"), QStringLiteral("Opacit&y:"), 16, 48, 62, 14,
            SS_CENTERIMAGE | WS_GROUP | V, WS_EX_RIGHT},
        {IDC_OPACITY_SLIDER, QStringLiteral("msctls_trackbar32"), QString(), 86, 48, 105, 14,
            TBS_NOTICKS | WS_TABSTOP | V},
        {IDC_HOTKEY_LABEL, QStringLiteral("Static"), QStringLiteral("To&ggle Hotkey:"), 16, 71, 62, 10,
            SS_CENTERIMAGE | WS_GROUP | V, WS_EX_RIGHT},
        {IDC_HOTKEY_EDIT, QStringLiteral("Edit"), QString(), 86, 71, 91, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | V},
        {IDC_SWITCH_BUTTON, QStringLiteral("Button"), QStringLiteral("A&ctivate"), 194, 71, 58, 15,
            BS_PUSHBUTTON | WS_TABSTOP | V},
        {IDC_LINK_MORE, QStringLiteral("Static"), QStringLiteral("Get More Custom Pointer Graphics "), 128, 7, 124, 10,
            SS_LEFT | WS_GROUP | V},
    },
};

const DialogTemplate kAboutPage{
    IDD_ABOUT_PAGE, QString(), 0, 0, 258, 137, TRUE,
    {
        {IDC_ABOUT_VERSION, QStringLiteral("Static"), QStringLiteral("Lumicue V1.0.0"), 7, 8, 194, 8, SS_NOPREFIX | V},
        {IDC_ABOUT_NOTICE, QStringLiteral("Static"), QString(), 7, 25, 194, 8, SS_LEFT | V},
        {IDC_STATIC, QStringLiteral("Static"), QString(), 23, 44, 228, 1, SS_ETCHEDHORZ | V},
        {IDC_LINK_PRODUCT, QStringLiteral("Static"), QString::fromLatin1(MAKER_SITE), 7, 51, 244, 12, SS_LEFT | V},
        {IDC_LINK_MAIL, QStringLiteral("Static"), QString(), 7, 66, 244, 12, SS_LEFT | V},
        {IDC_STATIC, QStringLiteral("Static"), QString(), 23, 85, 228, 1, SS_ETCHEDHORZ | V},
        {IDC_DONATE_TEXT, QStringLiteral("Static"), QStringLiteral("Static"), 7, 94, 180, 29, SS_LEFT | V},
        {static_cast<int>(ID_DONATE), QStringLiteral("Button"), QStringLiteral("&Donate..."), 192, 94, 58, 14,
            BS_DEFPUSHBUTTON | WS_TABSTOP},
    },
};

const DialogTemplate kOptionsPage{
    IDD_OPTIONS_PAGE, QString(), 0, 0, 259, 137, TRUE,
    {
        {IDC_SIZE_LABEL, QStringLiteral("Static"), QStringLiteral("Pointer &size:"), 4, 9, 74, 12,
            SS_CENTERIMAGE | WS_GROUP | V, WS_EX_RIGHT},
        {IDC_SIZE_SLIDER, QStringLiteral("msctls_trackbar32"), QString(), 86, 8, 105, 14, TBS_NOTICKS | WS_TABSTOP | V},
        {IDC_SIZE_VALUE, QStringLiteral("Static"), QStringLiteral("100 %"), 196, 9, 40, 12,
            SS_CENTERIMAGE | SS_NOPREFIX | V},
        {IDC_ANNOUNCE_CHECK, QStringLiteral("Button"), QStringLiteral("&Announce switching in a balloon"), 16, 30, 236,
            12, BS_AUTOCHECKBOX | WS_TABSTOP | V},
        {IDC_CLICKS_CHECK, QStringLiteral("Button"), QStringLiteral("Show cli&cks"), 16, 44, 236, 12,
            BS_AUTOCHECKBOX | WS_TABSTOP | V},
        {IDC_UPDATE_CHECK, QStringLiteral("Button"), QStringLiteral("Check for a &newer version at start-up"), 16, 58,
            236, 12, BS_AUTOCHECKBOX | WS_TABSTOP | V},
        {IDC_LANGUAGE_LABEL, QStringLiteral("Static"), QStringLiteral("&Language:"), 4, 79, 74, 12,
            SS_CENTERIMAGE | WS_GROUP | V, WS_EX_RIGHT},
        {IDC_LANGUAGE_COMBO, QStringLiteral("ComboBox"), QString(), 86, 78, 130, 14, CBS_DROPDOWNLIST | WS_TABSTOP | V},
        {IDC_LANGUAGE_NOTE, QStringLiteral("Static"), QStringLiteral("Takes effect at the next start"), 86, 94, 166, 10,
            SS_LEFT | SS_NOPREFIX | V},
        {IDC_OPEN_FOLDER, QStringLiteral("Button"), QStringLiteral("&Open the picture folder"), 86, 112, 130, 15,
            BS_PUSHBUTTON | WS_TABSTOP | V},
    },
};

} // namespace

std::vector<DialogTemplate> DialogTemplates()
{
    return {kMainDialog, kPointerPage, kAboutPage, kOptionsPage};
}
