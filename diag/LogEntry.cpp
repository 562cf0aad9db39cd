// Log line pieces; the layout is what readers of existing logs expect.
#include "diag/LogEntry.h"

#include "diag/LogTypes.h"

namespace {

// Room for everything but the value (the buffer's terminator excluded).
constexpr int ENTRY_SPARE = 511;

} // namespace

QString LogTypeTag(DWORD type)
{
    switch (type) {
    case LOG_FUNC_ENTRY: return QStringLiteral("[Func Entry]");
    case LOG_FUNC_RETURN: return QStringLiteral("[Func Return]");
    case LOG_VAR_CHANGED: return QStringLiteral("[Var Changed]");
    case LOG_RECEIVE_MSG: return QStringLiteral("[Receive Msg]");
    case LOG_SEND_MSG: return QStringLiteral("[Send Msg]");
    case LOG_PROMPT: return QStringLiteral("[Prompt]");
    case LOG_CALL_FAIL: return QStringLiteral("[Call Fail]");
    case LOG_EXCEPTION: return QStringLiteral("[Exception]");
    case LOG_FATAL: return QStringLiteral("[Fatal]");
    case LOG_OTHER_ERROR: return QStringLiteral("[Other Error]");
    default: return QStringLiteral("[Other");
    }
}

QString BuildLogEntry(DWORD type, const QString* value, const QString* text1, const QString* text2,
                      const QString* fileName, int line, const QString* text3)
{
    QString head;
    if (fileName) {
        head += QStringLiteral("FileName: ") + *fileName;
        if (line != -1)
            head += QStringLiteral(" Line: ") + QString::number(line);
        head += QLatin1Char('\n');
    }
    head += LogTypeTag(type);
    if (text1)
        head += *text1;
    if (text2)
        head += QStringLiteral("::") + *text2;
    if (text3)
        head += QStringLiteral("::") + *text3;
    if (!value)
        return head.left(ENTRY_SPARE);
    // The "=" counts against the spare room too.
    head.truncate(ENTRY_SPARE - 1);
    return head + QLatin1Char('=') + *value;
}

QString LogFilePath(const QString& logFolder, const QString& logName, const QDate& date)
{
    return QStringLiteral("%1/%2_%3.log").arg(logFolder, logName, date.toString(QStringLiteral("yyyy-MM-dd")));
}

QString LogTimeStamp(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ');
}
