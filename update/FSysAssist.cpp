// Version strings compiled in from the build's project version, and text splitting.
#include "update/FSysAssist.h"

#include <QCoreApplication>
#include <QFileInfo>

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
            if (rest != separator)
                parts.append(rest);
            return;
        }
        parts.append(rest.left(at));
        rest = rest.mid(at + separator.size());
    }
}
