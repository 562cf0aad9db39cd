// Icon and menu resources by id, as the resource section would give them.
#pragma once

#include "platform/Win32.h"

#include <QIcon>

class CMenu;

QIcon LoadIconResource(int nId);
// Fills menu with the menu resource; FALSE when there is none of that id.
BOOL LoadMenuResource(UINT nId, CMenu& menu);
