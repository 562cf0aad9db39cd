// The route choice: only an X11 session gets the X11 overlay, since under
// XWayland it neither sees the pointer over native windows nor lets their
// clicks through.
#include "platform/DesktopRoute.h"

EDesktopRoute ChooseRoute(const SSessionFacts& facts)
{
    if (!facts.bWaylandSession)
        return EDesktopRoute::X11;
    if (facts.bKWin && facts.bLayerShell)
        return EDesktopRoute::KWin;
    if (facts.bGnomeShell)
        return EDesktopRoute::Gnome;
    return EDesktopRoute::WaylandOther;
}
