// The pure pieces of a log line: tag, entry text, stamp and file name, kept
// apart from the file writing so they can be checked exactly.
#pragma once

#include "platform/base/Win32.h"

#include <QDate>
#include <QString>
#include <QTime>

// The tag of one entry type, chosen by exact value; any other value
// (several bits, unknown bits) gets the unterminated "[Other".
QString LogTypeTag(DWORD type);

// fileName/line, tag, text1, "::"text2, "::"text3, "="value; null parts add
// nothing. Everything before the value is cut to the 511 spare characters
// of the entry buffer; the value itself is never cut.
QString BuildLogEntry(DWORD type, const QString* value, const QString* text1, const QString* text2,
                      const QString* fileName, int line, const QString* text3);

// "<folder>/<name>_YYYY-MM-DD.log".
QString LogFilePath(const QString& logFolder, const QString& logName, const QDate& date);

// "HH:MM:SS " on the 24-hour clock.
QString LogTimeStamp(const QTime& time);
