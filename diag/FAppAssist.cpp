// Log file writing: one file per local day, opened and closed per line so
// every line is on disk at once and runs of the same day share the file.
#include "diag/FAppAssist.h"

#include "diag/LogClock.h"
#include "diag/LogEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

CFAppAssist* g_pAppAssist = nullptr;

CFAppAssist::CFAppAssist()
{
    g_pAppAssist = this;
}

CFAppAssist::~CFAppAssist()
{
    // A report made after this object is gone must not reach freed memory.
    if (g_pAppAssist == this)
        g_pAppAssist = nullptr;
}

BOOL CFAppAssist::bInitialize()
{
    return bLoadLogSettings() ? TRUE : FALSE;
}

BOOL CFAppAssist::bUninitialize()
{
    return TRUE;
}

BOOL CFAppAssist::bWriteLog(DWORD type, const QString* value, const QString* text1, const QString* text2,
                            const QString* fileName, int line, const QString* text3)
{
    if (!bLogEnabled || (type & nLogMask) == 0)
        return 1;
    return bAppendLogLine(BuildLogEntry(type, value, text1, text2, fileName, line, text3));
}

BOOL CFAppAssist::bAppendLogLine(const QString& entry)
{
    const QString logFolder = strBaseFolder + QStringLiteral("/Log");
    if (!QFileInfo(logFolder).isDir() && !QDir().mkdir(logFolder))
        return FALSE;

    const QDateTime now = LogClockNow();
    QFile file(LogFilePath(logFolder, GetLogName(), now.date()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return TRUE;
    const QString line = LogTimeStamp(now.time()) + entry + QLatin1Char('\n');
    file.write(line.toUtf8());
    file.close();
    return TRUE;
}
