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
extern const QString kPointerName;
// Their registered numbers, set before InitInstance.
extern const UINT g_uInstanceMessage;
extern const UINT g_uExitMessage;
extern const UINT g_uPointerMessage;

// What the pointer message asks of the running instance (its wParam), and
// its answer: the pointer's state once the request is done. 0, the answer of
// a window that does not know the message, is neither.
enum : WPARAM { POINTER_STATUS = 0, POINTER_TOGGLE = 1, POINTER_ON = 2, POINTER_OFF = 3 };
// POINTER_CLOSING: the instance is ending and switches nothing on.
// POINTER_CANNOT_FOLLOW: asked to switch on where the session gives no way to
// follow the pointer; it stays off.
enum : LRESULT { POINTER_IS_OFF = 1, POINTER_IS_ON = 2, POINTER_CLOSING = 3, POINTER_CANNOT_FOLLOW = 4 };
// Exit statuses of a run that only talks to the running instance (also the
// second start, /u and /clean): nothing runs, it runs but did not answer, or
// it cannot follow the pointer on this desktop.
enum : int { EXIT_NOT_RUNNING = 1, EXIT_NO_ANSWER = 3, EXIT_CANNOT_FOLLOW = 4 };
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

    CInstanceLock hMutex;

private:
    // The long options: help, version, or a request to the running instance.
    int nRunLongOption(LongOption option, const QString& strUnknown);
    int nControlRunningInstance(LongOption option);
    // A second start, /u or /clean: clean, quit or open the running instance;
    // answers the exit status.
    int nActOnRunningInstance(StartAction action, BOOL bRunning);
    void vCreateMainWindow(BOOL bHidden);

    CInstanceServer instanceServer;
    // The exit status when InitInstance ends the program by itself.
    int nExitCode = 0;
};
