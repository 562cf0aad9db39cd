// Icon, string and menu resources by id, as the resource section would give them.
#pragma once

#include "platform/Win32.h"

#include <QIcon>
#include <QString>

class CMenu;

QIcon LoadIconResource(int nId);
// The string with the id; FALSE when there is none.
BOOL LoadStringResource(UINT nId, QString& text);
// Fills menu with the menu resource; FALSE when there is none of that id.
BOOL LoadMenuResource(UINT nId, CMenu& menu);
