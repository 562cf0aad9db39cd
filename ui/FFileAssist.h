// Path helpers: a path split into folder, name and extension.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

constexpr UINT PATH_DRIVE = 1;
constexpr UINT PATH_FOLDER = 2;
constexpr UINT PATH_NAME = 4;
constexpr UINT PATH_EXT = 8;

class CFFileAssist {
public:
    virtual ~CFFileAssist() = default;
    // The chosen parts joined in the order drive, folder (with its trailing
    // '/'), name without extension, extension (with its dot). Paths have no
    // drive here, so that part is always empty.
    QString GetPathParts(const QString& path, UINT nFlags) const;
};
