// The application's single service object: its folders, the option record,
// and the diagnostics hooks (log name, log switches).
#pragma once

#include "diag/FAppAssist.h"
#include "settings/LumicueOption.h"
#include "settings/PresenterOptions.h"

#include <QString>
#include <QStringList>

class CCoreAssist : public CFAppAssist {
public:
    CCoreAssist() = default;
    ~CCoreAssist() override = default;

    BOOL bInitialize() override;
    BOOL bUninitialize() override;
    QString GetLogName() override;
    BOOL bLoadLogSettings() override;

    CLumicueOption option;
    // Size, balloons and click rings, kept in Config.ini beside the language.
    CPresenterOptions presenter;
    // The folder that holds pointer/ and Language/, ending in '/': the
    // executable's own, or ../share/lumicue/ beside it when installed.
    QString strAppDir;
    // <application-data folder>/Lumicue, or strAppDir when there is none.
    QString strDataDir;

    // The shipped pictures' folder, then the user's own
    // ($XDG_DATA_HOME/lumicue/pointer; absent when no home is known).
    QStringList PointerFolders() const;
    QString UserPointerFolder() const;
};

// The one core object, built on first use.
CCoreAssist* GetCoreAssist();
