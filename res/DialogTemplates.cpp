// The dialog templates of the program, in dialog units as the resource
// compiler would hold them.
#include "platform/ui/DialogTemplate.h"

#include "res/ResourceIds.h"
#include "settings/MakerSite.h"

namespace {

const DialogTemplate kMainDialog{
    IDD_LUMICUE_MAIN, QStringLiteral("Lumicue"), 0, 0, 281, 238, FALSE,
    {
        {IDC_APP_ICON, QStringLiteral("Static"), QStringLiteral("2"), 12, 10, 21, 20, SS_ICON},
        {IDC_APP_TITLE, QStringLiteral("Static"), QStringLiteral("Lumicue V1.0"), 36, 7, 194, 17, SS_NOPREFIX},
        {IDC_APP_SUBTITLE, QStringLiteral("Static"),
            QStringLiteral("High visibility pointers for teaching, presentations and screencasts"), 35, 24, 239, 11,
            SS_LEFT},
        {IDC_LINK_DONATE, QStringLiteral("Static"), QString(), 34, 40, 240, 11, SS_LEFT},
        {IDC_TAB_SHEET, QStringLiteral("SysTabControl32"), QString(), 7, 55, 267, 151, WS_TABSTOP},
        {IDC_LINK_SITE, QStringLiteral("Static"), QString::fromLatin1(MAKER_SITE), 8, 215, 149, 13, SS_CENTERIMAGE},
        {IDOK, QStringLiteral("Button"), QStringLiteral("&Hide"), 164, 216, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDC_EXIT, QStringLiteral("Button"), QStringLiteral("E&xit"), 224, 216, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
    },
};

} // namespace

const DialogTemplate* FindDialogTemplate(UINT nId)
{
    switch (nId) {
    case IDD_LUMICUE_MAIN:
        return &kMainDialog;
    default:
        return nullptr;
    }
}
