// Which route a session gets: the X11 overlay only in an X11 session, never
// under XWayland, whatever else the session bus shows.
#include "platform/DesktopRoute.h"

#include <gtest/gtest.h>

TEST(DesktopRouteTest, EachSessionGetsItsRoute)
{
    SSessionFacts x11;
    x11.bKWin = x11.bGnomeShell = x11.bLayerShell = true; // a KDE or GNOME X11 session
    EXPECT_EQ(ChooseRoute(x11), EDesktopRoute::X11);

    SSessionFacts kwin;
    kwin.bWaylandSession = kwin.bKWin = kwin.bLayerShell = true;
    EXPECT_EQ(ChooseRoute(kwin), EDesktopRoute::KWin);
    kwin.bLayerShell = false; // KWin without an overlay protocol cannot show one
    EXPECT_EQ(ChooseRoute(kwin), EDesktopRoute::WaylandOther);

    SSessionFacts gnome;
    gnome.bWaylandSession = gnome.bGnomeShell = true;
    EXPECT_EQ(ChooseRoute(gnome), EDesktopRoute::Gnome);

    SSessionFacts sway;
    sway.bWaylandSession = sway.bLayerShell = true;
    EXPECT_EQ(ChooseRoute(sway), EDesktopRoute::WaylandOther);
}
