// Lumicue's resource section: dialog templates, the tray menu, the icon and
// the strings, handed to the platform at start-up.
#pragma once

#include "platform/ui/Resources.h"

SResources LumicueResources();

// Its parts, each in a file of its own.
std::vector<DialogTemplate> DialogTemplates();
CMenu TrayMenu();
