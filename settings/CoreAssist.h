// The application's single service object: its folders, the option record,
// and the diagnostics hooks (log name, log switches).
#pragma once

#include "diag/FAppAssist.h"
#include "settings/LumicueOption.h"

#include <QString>

class CCoreAssist : public CFAppAssist {
public:
    CCoreAssist() = default;
    ~CCoreAssist() override = default;

    BOOL bInitialize() override;
    BOOL bUninitialize() override;
    QString GetLogName() override;
    BOOL bLoadLogSettings() override;

    CLumicueOption option;
    // The folder that holds pointer/ and Language/, ending in '/': the
    // executable's own, or ../share/lumicue/ beside it when installed.
    QString strAppDir;
    // <application-data folder>/Lumicue, or strAppDir when there is none.
    QString strDataDir;
};

// The one core object, built on first use.
CCoreAssist* GetCoreAssist();
