// Icon resources by id, as the resource section would give them.
#pragma once

#include <QIcon>

QIcon LoadIconResource(int nId);
