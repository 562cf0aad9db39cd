// The settings that survive a restart, and their file "AppOption.data".
#pragma once

#include "settings/HotKey.h"
#include "platform/base/Win32.h"

#include <QString>

class CArchive;

class CLumicueOption {
public:
    CLumicueOption();
    virtual ~CLumicueOption() = default;

    void vSetDefaults();
    // A failed read puts every field to its default.
    virtual void Serialize(CArchive& ar);
    // Load and save in the core object's data folder.
    void vLoad();
    void vSave();
    // Load and save in the given folder.
    void vLoad(const QString& folder);
    void vSave(const QString& folder);
    // Writes the file without telling anyone; FALSE when it could not.
    BOOL bSave(const QString& folder);
    BOOL bRegisterHotKey();
    BOOL bUnregisterHotKey();

    // "<folder>/AppOption.data".
    static QString GetFilePath(const QString& folder);

    BOOL bValid = 1;
    BOOL bAutoCheckUpdate = 0;
    CHotKey hotKey;
    int nOpacity = 75;
    QString strPointerFile;
};
