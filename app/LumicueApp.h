// The application object: single instance, command line, start-up of the
// core object and the localisation, the main window, and the end.
#pragma once

#include "app/CommandLine.h"
#include "platform/instance/InstanceLock.h"
#include "platform/instance/InstanceServer.h"
#include "platform/ui/WinApp.h"

#include <QString>
#include <optional>

class CLumicueMain;
class CRemoteWindow;

// The names of the single-instance protocol, the same in every process.
extern const QString kInstanceName;
extern const QString kExitName;
// Their registered numbers, set before InitInstance.
extern const UINT g_uInstanceMessage;
extern const UINT g_uExitMessage;
// The process-wide main window.
extern CLumicueMain* g_pLumicueMain;

class CLumicueApp : public CWinApp {
public:
    CLumicueApp();
    ~CLumicueApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnCommand(UINT nID) override;

    static BOOL bRemoveAutoRun();
    // Answers FALSE (stop looking) once the window answered the instance message.
    static BOOL FindRunningInstanceProc(const CRemoteWindow& window, std::optional<CRemoteWindow>& out);

    CInstanceLock hMutex;

private:
    // A second start: clean, quit or open the running instance.
    void vActOnRunningInstance(StartAction action, const std::optional<CRemoteWindow>& running);
    void vCreateMainWindow(BOOL bHidden);

    CInstanceServer instanceServer;
    // 1 when the start was refused (no private place for the lock).
    int nExitCode = 0;
};
