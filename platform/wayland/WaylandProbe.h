// What the Wayland compositor of the session offers, asked once at start-up.
#pragma once

#include "platform/base/Win32.h"

// TRUE when the compositor named by WAYLAND_DISPLAY can be reached and
// offers the layer shell (zwlr_layer_shell_v1).
BOOL bCompositorOffersLayerShell();
