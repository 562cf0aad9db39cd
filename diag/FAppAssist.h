// The diagnostics base of the core object: log switches and the dated log
// file that exception reports go to.
#pragma once

#include "diag/LogTypes.h"
#include "platform/base/Win32.h"

#include <QString>

class CFAppAssist {
public:
    CFAppAssist();
    virtual ~CFAppAssist();
    CFAppAssist(const CFAppAssist&) = delete;
    CFAppAssist& operator=(const CFAppAssist&) = delete;

    virtual BOOL bInitialize();
    virtual BOOL bUninitialize();
    virtual QString GetLogName() = 0;
    virtual BOOL bLoadLogSettings() = 0;

    // Writes one entry when logging is on and the type is in the mask;
    // every string may be null. Answers 1 when nothing is to be written.
    BOOL bWriteLog(DWORD type, const QString* value, const QString* text1, const QString* text2,
                   const QString* fileName, int line, const QString* text3);
    // Appends a time-stamped line to today's file; FALSE only when the
    // log folder is missing and cannot be made.
    BOOL bAppendLogLine(const QString& entry);

    QString strBaseFolder;
    DWORD nLogMask = 0xF0000;
    BOOL bLogEnabled = FALSE;
};

// The one diagnostics object, recorded by its constructor.
extern CFAppAssist* g_pAppAssist;
