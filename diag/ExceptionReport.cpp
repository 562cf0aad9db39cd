// Report text of a caught exception, bounded like the 260-character buffer
// it was designed around.
#include "diag/ExceptionReport.h"

#include "diag/FAppAssist.h"

#include <QString>

#include <cstdio>

namespace {

constexpr int REPORT_MAX = 259;

QString ReportText(const char* reason, const char* cls, const char* op)
{
    const QString where = QString::fromUtf8(cls ? cls : "") + QStringLiteral("::") + QString::fromUtf8(op ? op : "");
    QString text = reason
        ? QStringLiteral("Exception Reason: ") + QString::fromLocal8Bit(reason) + QStringLiteral("; At: ") + where
        : QStringLiteral("Exception At: ") + where;
    text += QLatin1Char('\n');
    text.truncate(REPORT_MAX);
    return text;
}

} // namespace

void vReportException(const char* reason, const char* cls, const char* op) noexcept
{
    if (!g_pAppAssist)
        return;
    try {
        const QString text = ReportText(reason, cls, op);
        std::fputs(text.toUtf8().constData(), stderr);
        g_pAppAssist->bWriteLog(LOG_EXCEPTION, &text, nullptr, nullptr, nullptr, -1, nullptr);
    } catch (...) {
        // A report never raises a further exception into the operation.
    }
}
