// Version strings compiled in from the build's project version, text
// splitting, and system error texts.
#include "update/FSysAssist.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

BOOL CFSysAssist::GetVersionStrings(const QString* pPath, const void*, QString& strProductName,
    QString& strInternalName, QString& strProductVersion) const
{
    if (pPath) {
        // Only the running program carries version strings.
        const QString self = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
        if (pPath->isEmpty() || self.isEmpty()
            || QFileInfo(pPath->left(MAX_PATH - 1)).canonicalFilePath() != QFileInfo(self).canonicalFilePath())
            return FALSE;
    }
    strProductName = QStringLiteral(LUMICUE_PRODUCT_NAME);
    strInternalName = QStringLiteral(LUMICUE_INTERNAL_NAME);
    strProductVersion = QStringLiteral(LUMICUE_PRODUCT_VERSION);
    return TRUE;
}

void CFSysAssist::SplitText(const QString& text, const QString& separator, QStringList& parts) const
{
    if (separator.isEmpty()) {
        if (!text.isEmpty())
            parts.append(text);
        return;
    }
    QString rest = text;
    while (!rest.isEmpty()) {
        const qsizetype at = rest.indexOf(separator);
        if (at < 0) {
            parts.append(rest);
            return;
        }
        parts.append(rest.left(at));
        rest = rest.mid(at + separator.size());
    }
}

QString CFSysAssist::GetLastErrorText(DWORD& nCode)
{
    const int err = errno;
    nCode = static_cast<DWORD>(err);
    if (err == 0)
        return {};
    char buffer[256] = {};
    // The GNU strerror_r answers the text, which may not be the buffer.
    return QString::fromLocal8Bit(strerror_r(err, buffer, sizeof buffer));
}
