// Icon and string resources by id, as the resource section would give them.
#pragma once

#include "platform/Win32.h"

#include <QIcon>
#include <QString>

QIcon LoadIconResource(int nId);
// The string with the id; FALSE when there is none.
BOOL LoadStringResource(UINT nId, QString& text);
