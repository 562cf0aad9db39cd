// The routes the program knows, by kind.
#pragma once

#include "platform/base/Win32.h"
#include "platform/DesktopRoute.h"

std::unique_ptr<CDesktopRoute> MakeRoute(EDesktopRoute kind);
// Whether the Wayland compositor offers the layer shell an overlay needs.
BOOL bProbeLayerShell();
