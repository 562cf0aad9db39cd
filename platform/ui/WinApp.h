// The application object: start-up, the message loop and the end, as the
// framework runs them. Graphics (the Qt application) start only when the
// program asks for them, so a second instance never needs a display.
#pragma once

#include "platform/base/Win32.h"

#include <QStringList>
#include <memory>

class QApplication;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // A command the main window left unhandled; TRUE when handled here.
    virtual BOOL OnCommand(UINT nID);

    // Runs InitInstance, the message loop when it succeeded, then ExitInstance.
    int Run(int argc, char** argv);

    // The process's arguments, the program's path first.
    const QStringList& GetCommandLineArgs() const { return args; }

    // Starts and stops the graphics platform (the stand-in of the imaging
    // library start-up). FALSE when the window system cannot be reached;
    // GetGraphicsProblem() then says why, in one line.
    BOOL bStartGraphics();
    const QString& GetGraphicsProblem() const { return strGraphicsProblem; }
    void vStopGraphics();

private:
    QStringList args;
    // The toolkit sees the program's name only: the user's arguments are ours.
    int nQtArgc = 0;
    char* ppQtArgv[2] = {nullptr, nullptr};
    QString strGraphicsProblem;
    std::unique_ptr<QApplication> pQtApp;
};

CWinApp* AfxGetApp();
