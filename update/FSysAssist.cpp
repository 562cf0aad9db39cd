// Version strings compiled in from the build's project version, the text
// splitter, and system error texts.
#include "update/FSysAssist.h"

#include <cerrno>
#include <cstring>

BOOL CFSysAssist::GetVersionStrings(const QString* path, const void*, QString& productName, QString& internalName,
                                    QString& productVersion)
{
    if (path)
        return FALSE;
    productName = QStringLiteral("Lumicue");
    internalName = QStringLiteral("Lumicue");
    productVersion = QStringLiteral(LUMICUE_PRODUCT_VERSION);
    return TRUE;
}

void CFSysAssist::SplitText(const QString& text, const QString& separator, QStringList& parts)
{
    QString rest = text;
    while (!rest.isEmpty()) {
        const qsizetype at = separator.isEmpty() ? -1 : rest.indexOf(separator);
        if (at < 0) {
            if (rest != separator)
                parts << rest;
            return;
        }
        parts << rest.left(at);
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
