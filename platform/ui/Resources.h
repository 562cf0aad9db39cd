// The program's resources by id, as the resource section would give them.
// The program registers them once at start-up, before its first window;
// the platform only reads them.
#pragma once

#include "platform/base/Win32.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Menu.h"

#include <QByteArray>
#include <QIcon>
#include <QString>

#include <map>
#include <vector>

struct SResources {
    std::vector<DialogTemplate> dialogs; // found by their nId
    std::map<int, QByteArray> icons;     // PNG data
    std::map<UINT, QString> strings;
    std::map<UINT, CMenu> menus;
};

// Replaces whatever was registered before.
void vRegisterResources(SResources resources);

// An empty icon when there is none of that id.
QIcon LoadIconResource(int nId);
// The string with the id; FALSE when there is none.
BOOL LoadStringResource(UINT nId, QString& text);
// Fills menu with the menu resource; FALSE when there is none of that id.
BOOL LoadMenuResource(UINT nId, CMenu& menu);
