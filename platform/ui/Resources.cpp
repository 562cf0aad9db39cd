// The registered resources, read on the UI thread.
#include "platform/ui/Resources.h"

#include <QPixmap>

namespace {

SResources& Registered()
{
    static SResources resources;
    return resources;
}

} // namespace

void vRegisterResources(SResources resources)
{
    Registered() = std::move(resources);
}

const DialogTemplate* FindDialogTemplate(UINT nId)
{
    for (const DialogTemplate& tpl : Registered().dialogs)
        if (tpl.nId == nId)
            return &tpl;
    return nullptr;
}

QIcon LoadIconResource(int nId)
{
    const auto it = Registered().icons.find(nId);
    QPixmap pixmap;
    if (it == Registered().icons.end() || !pixmap.loadFromData(it->second, "PNG"))
        return {};
    return QIcon(pixmap);
}

BOOL LoadStringResource(UINT nId, QString& text)
{
    const auto it = Registered().strings.find(nId);
    if (it == Registered().strings.end())
        return FALSE;
    text = it->second;
    return TRUE;
}

BOOL LoadMenuResource(UINT nId, CMenu& menu)
{
    const auto it = Registered().menus.find(nId);
    if (it == Registered().menus.end())
        return FALSE;
    menu = it->second;
    return TRUE;
}
