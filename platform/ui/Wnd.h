// A window object that answers numbered messages, as a Win32 window does,
// over a Qt widget. Posting is thread-safe; sending
// runs the handler at once on the UI thread.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

class QWidget;
class QFont;
class QTimer;
class CWndEventProxy;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The message handler of the class; the default gives DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What the platform does with a message nobody handled.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Queues the message for the UI thread; callable from any thread.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Runs the handler now (on the UI thread; other threads wait for it).
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    virtual BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL SetForegroundWindow();
    virtual BOOL DestroyWindow();

    // Timers deliver WM_TIMER with the id to WindowProc.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL HasTimer(UINT_PTR nIDEvent) const;

    // Controls and the window tree.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return nCtrlId; }
    CWnd* GetParent() const { return pParent; }
    QString GetClassName() const { return strClassName; }
    std::vector<CWnd*> EnumChildWindows() const; // depth first, grandchildren too
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void SetFont(const QFont& font, BOOL bRedraw = TRUE);
    QFont GetFont() const;

    // The widget behind the window, null when no window exists.
    QWidget* GetSafeWidget() const { return pWidget; }
    BOOL IsWindow() const { return pWidget != nullptr; }

    // Used by the framework when it builds windows and controls.
    void Attach(QWidget* widget, const QString& className, int ctrlId, CWnd* parent);
    CWnd* AddChild(std::unique_ptr<CWnd> child);

protected:
    // Called after the widget is gone (DestroyWindow or the widget deleted).
    virtual void OnWidgetDestroyed() {}

private:
    friend class CWndEventProxy;
    void vDeliver(UINT message, WPARAM wParam, LPARAM lParam);

    QWidget* pWidget = nullptr;
    QString strClassName;
    int nCtrlId = 0;
    CWnd* pParent = nullptr;
    std::vector<std::unique_ptr<CWnd>> children;
    std::map<UINT_PTR, QTimer*> timers;
    CWndEventProxy* pProxy = nullptr;
};

// The application's main window, as the framework keeps it.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);
// Ends the message loop with the exit code.
void PostQuitMessage(int nExitCode);
