// The stamp of a file, from its metadata alone.
#include "platform/storage/FileStamp.h"

#include <QDateTime>
#include <QFileInfo>

SFileStamp SFileStamp::Of(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}
