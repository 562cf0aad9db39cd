// Private-profile INI access with the Windows rules the program's files were
// written for: case-blind sections and keys, an empty value reads as absent.
#pragma once

#include "platform/base/Win32.h"

#include <QByteArray>
#include <QString>

// Files larger than this read as empty and are never rewritten: a stray big
// or binary file must not stall or exhaust the program.
constexpr qint64 INI_MAX_FILE_BYTES = 4 * 1024 * 1024;

// Copies the value of key in section into value, cut to nSize - 1 characters.
// A key that is absent, present without a value, or outside the first section
// of that name gives lpDefault instead, with its trailing blanks removed (as
// Windows does). Blanks around keys and values are trimmed, and a value
// wrapped in matching single or double quotes loses them. Answers the number
// of characters copied.
DWORD GetPrivateProfileStringW(const QString& section, const QString& key, const QString& lpDefault,
                               QString& value, DWORD nSize, const QString& fileName);

// The value parsed as Windows does: optional sign, then decimal digits up to
// the first other character, wrapping in 32 bits; "abc" gives 0. nDefault is
// answered only when the key reads as absent.
UINT GetPrivateProfileIntW(const QString& section, const QString& key, int nDefault, const QString& fileName);

// Sets key in section, creating the file, the section or the key as needed;
// an existing key keeps its place and every other line keeps its bytes. A
// value that is already there writes nothing. The file is replaced by
// rename after a checked, flushed write, so a failure (a full disk) leaves
// the old one whole. New text is UTF-8, or UTF-16 in a UTF-16 file. A file
// that cannot be read, is over INI_MAX_FILE_BYTES or is not a regular file
// is not touched.
BOOL WritePrivateProfileStringW(const QString& section, const QString& key, const QString& value,
                                const QString& fileName);

// The edit itself, over the file's bytes: FALSE when the value is already
// there and nothing changed.
BOOL bSetProfileStringInData(QByteArray& data, const QString& section, const QString& key, const QString& value);

// The same lookups over INI text already in memory (a downloaded file).
DWORD GetProfileStringFromData(const QByteArray& data, const QString& section, const QString& key,
                               const QString& lpDefault, QString& value, DWORD nSize);
UINT GetProfileIntFromData(const QByteArray& data, const QString& section, const QString& key, int nDefault);
