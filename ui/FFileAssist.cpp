// Splitting a path at its last '/' and the last '.' of the file name.
#include "ui/FFileAssist.h"

QString CFFileAssist::GetPathParts(const QString& path, UINT nFlags) const
{
    const int slash = static_cast<int>(path.lastIndexOf('/'));
    const QString folder = path.left(slash + 1);
    const QString file = path.mid(slash + 1);
    const int dot = static_cast<int>(file.lastIndexOf('.'));
    const QString name = dot < 0 ? file : file.left(dot);
    const QString ext = dot < 0 ? QString() : file.mid(dot);
    QString out;
    if (nFlags & PATH_FOLDER)
        out += folder;
    if (nFlags & PATH_NAME)
        out += name;
    if (nFlags & PATH_EXT)
        out += ext;
    return out;
}
