// System helpers: the program's version strings, splitting a text at a
// separator, and the text of the last system error.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <QStringList>

class CFSysAssist {
public:
    virtual ~CFSysAssist() = default;

    // Product name, internal name and product version ("1, 0, 0, 0") of the
    // file, or of the running program when the path is null; FALSE when the
    // file carries none (only the program itself does).
    BOOL GetVersionStrings(const QString* pPath, const void* hModule, QString& strProductName,
        QString& strInternalName, QString& strProductVersion) const;

    // The pieces of the text between separators: a leading separator gives an
    // empty first part, a trailing one no empty last part, an empty text none.
    void SplitText(const QString& text, const QString& separator, QStringList& parts) const;

    // Stores the calling thread's last error (errno) in nCode and answers its
    // text; an empty text when there is none.
    static QString GetLastErrorText(DWORD& nCode);
};
