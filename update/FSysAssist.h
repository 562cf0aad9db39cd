// System helpers of the update check and the About page: the program's
// version strings, a text splitter and the text of the last system error.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <QStringList>

class CFSysAssist {
public:
    virtual ~CFSysAssist() = default;

    // The product name, internal name and product version ("1, 0, 0, 0") of
    // the file, or of the running program when path is null. Only the
    // running program carries version strings here.
    static BOOL GetVersionStrings(const QString* path, const void* module, QString& productName,
                                  QString& internalName, QString& productVersion);
    // Splits text at every separator: a leading separator gives an empty
    // first part, a trailing one no empty last part, an empty text no parts.
    static void SplitText(const QString& text, const QString& separator, QStringList& parts);
    // Stores the calling thread's last error (errno) in nCode and answers its
    // text; an empty text when there is none.
    static QString GetLastErrorText(DWORD& nCode);
};
