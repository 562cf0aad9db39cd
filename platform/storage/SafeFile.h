// Reading and replacing the program's own files without hanging on special
// files and without ever leaving a cut file behind.
#pragma once

#include "platform/base/Win32.h"

#include <QByteArray>
#include <QString>

enum class FileRead { Ok, Missing, TooBig, Failed };

// Opens path read-only without blocking (a FIFO with no writer cannot hang
// the caller) and keeps it only when it is a regular file; -1 otherwise,
// with errno ENOENT for anything that is not a regular file. Close-on-exec.
int OpenRegularFile(const QString& path);

// Reads a regular file whole. A device, folder or FIFO is Missing, as a file
// that is not there; a file over nMaxBytes is TooBig and is not read.
FileRead ReadRegularFile(const QString& path, QByteArray& data, qint64 nMaxBytes);

// Replaces the file with bytes: written to a new file beside it with every
// write checked, flushed to disk, then renamed over it. Any failure (a full
// disk, a file-size limit) leaves the old file as it was and answers FALSE.
// Only a regular file or a missing one is replaced: a symbolic link or a
// special file under the name fails the save (checked without following a
// link; the new file is opened with O_NOFOLLOW | O_EXCL).
BOOL bReplaceFile(const QString& path, const QByteArray& bytes);

// Appends to a regular file, made when missing; FALSE for anything else,
// a symbolic link included.
BOOL bAppendToFile(const QString& path, const QByteArray& bytes);
