// A window object that answers numbered messages over a Qt widget: commands,
// timers, paint with a drawing surface, mouse with capture, cursor, keys,
// size, activation and focus, colour requests, owner drawing and
// notifications. Posting is thread-safe; sending runs the handler at once.
//
// A message the class does not handle reaches DefWindowProc, which means
// "what the platform does": for input and paint of a toolkit control that
// is the control's own behaviour.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

class QIcon;
class QWidget;
class QFont;
class QTimer;
class CWndEventProxy;
class CBitmap32;
class CDataExchange;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The message handler of the class; the default reflects what a parent
    // receives about a child back to that child, then gives DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What the platform does with a message nobody handled.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Keys on their way to the focused window, offered to it and to each
    // window above it first; TRUE consumes the key.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Binds member controls to template controls (DDX_Control).
    virtual void DoDataExchange(CDataExchange* pDX);
    // Called just before a class is attached to an existing control.
    virtual void PreSubclassWindow() {}
    // An owner-drawn control draws itself here (reflected WM_DRAWITEM).
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    // Queues the message for the UI thread; callable from any thread.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Runs the handler now. Only the UI thread may send (a worker thread
    // posts); a send from another thread is refused and returns 0.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // A window of the class's own (a pop-up or a child), painted through WM_PAINT.
    BOOL CreateEx(DWORD dwExStyle, const QString& className, const QString& windowName, DWORD dwStyle, int x, int y,
        int nWidth, int nHeight, CWnd* pParentWnd, UINT nID);
    // Attaches this object to the parent's control with the id; the plain
    // object that stood for the control until now lets go of it.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

    virtual BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL SetForegroundWindow();
    virtual BOOL DestroyWindow();

    // Geometry: client rectangles start at 0, 0; window rectangles are on the screen.
    void GetClientRect(RECT* rc) const;
    void GetWindowRect(RECT* rc) const;
    void ClientToScreen(POINT* pt) const;
    void ScreenToClient(POINT* pt) const;
    void ScreenToClient(RECT* rc) const;
    // Position relative to the parent's client area (the screen for a top-level window).
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(const RECT* rc, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags);

    // Paint: the rectangle (null: all) is painted again, erased first when bErase.
    void InvalidateRect(const RECT* rc, BOOL bErase = TRUE);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();

    // Styles as the template gave them.
    DWORD GetStyle() const { return dwStyle; }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // Mouse capture: every mouse message goes to the capturing window.
    CWnd* SetCapture();
    static CWnd* GetCapture();
    static BOOL ReleaseCapture();
    // Keyboard focus; answers the window that had it.
    CWnd* SetFocus();
    // The icon the window manager and task switcher show for the window.
    void SetIcon(const QIcon& icon, BOOL bBigIcon);

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
    // Sends WM_NOTIFY with the code to the parent; answers its result.
    LRESULT NotifyParent(UINT nCode);

    // The widget behind the window, null when no window exists.
    QWidget* GetSafeWidget() const { return pWidget; }
    BOOL IsWindow() const { return pWidget != nullptr; }
    // The window object of a widget or of the nearest widget above it.
    static CWnd* FromWidget(const QWidget* widget);

    // Used by the framework when it builds windows and controls.
    void Attach(QWidget* widget, const QString& className, int ctrlId, CWnd* parent);
    CWnd* AddChild(std::unique_ptr<CWnd> child);
    // A child the parent does not own (a page, a subclassed member control).
    void AddChildRef(CWnd* child);
    void SetStyle(DWORD style) { dwStyle = style; }

private:
    friend class CWndEventProxy;
    friend class CWndEvents;
    struct ChildEntry {
        CWnd* pWnd;
        std::unique_ptr<CWnd> owned;
    };

    // Dispatches a message made from a toolkit event; TRUE when the class
    // handled it (the widget must not), FALSE when DefWindowProc was reached.
    BOOL bDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult = nullptr);
    void vForgetChild(CWnd* child);
    void vDetachWidget();
    // Stops the timers and lets the children go (the owned ones are deleted).
    void vDropTimersAndChildren();
    // A fixed-size window (a dialog) takes the size it is given as its new fixed
    // size; FALSE for any other, which the caller resizes itself.
    BOOL bResizeFixed(int cx, int cy);

    QWidget* pWidget = nullptr;
    QString strClassName;
    int nCtrlId = 0;
    DWORD dwStyle = 0;
    // TRUE for a toolkit control that paints itself; FALSE for a window
    // whose look is what its WM_PAINT draws on a surface.
    BOOL bNativePaint = TRUE;
    CWnd* pParent = nullptr;
    std::vector<ChildEntry> children;
    std::map<UINT_PTR, std::unique_ptr<QTimer>> timers;
    CWndEventProxy* pProxy = nullptr;
    // The message being dispatched from a toolkit event, and whether it reached DefWindowProc.
    UINT nDispatching = WM_NULL;
    BOOL bReachedDefault = FALSE;
};

// The application's main window, as the framework keeps it.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);
// Ends the message loop with the exit code.
void PostQuitMessage(int nExitCode);
