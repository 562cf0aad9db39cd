// Win32 system colour indexes mapped onto the roles of the Qt palette, in
// one table.
#include "platform/ui/SysColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct SysColorRole {
    int nIndex;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SysColorRole kRoles[] = {
    {COLOR_WINDOW, QPalette::Active, QPalette::Base},
    {COLOR_BTNFACE, QPalette::Active, QPalette::Button},
    {COLOR_BTNSHADOW, QPalette::Active, QPalette::Dark},
    {COLOR_INFOBK, QPalette::Active, QPalette::ToolTipBase},
};

} // namespace

COLORREF GetSysColor(int nIndex)
{
    const QPalette pal = QGuiApplication::palette();
    for (const SysColorRole& r : kRoles) {
        if (r.nIndex == nIndex) {
            const QColor c = pal.color(r.group, r.role);
            return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()), static_cast<BYTE>(c.blue()));
        }
    }
    return 0;
}
