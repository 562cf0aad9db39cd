// The translation of toolkit events into window messages, and the
// platform's default answers to messages no class handled.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CWnd;
class CBitmap32;
class QEvent;
class QFont;
class QLabel;
class QMouseEvent;
class QPaintEvent;
class QWidget;
struct MSG;

class CWndEvents {
public:
    // TRUE when the window's class handled the event (the widget must not).
    static BOOL bFilter(CWnd* pWnd, QEvent* e);
    // DefWindowProc for messages that are not reflected.
    static LRESULT lrDefault(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Drops what is kept for a window that goes away.
    static void vForget(CWnd* pWnd);
    // The next paint erases first unless only no-erase invalidations came since the last.
    static void vMarkErase(CWnd* pWnd, BOOL bErase);
    // The surface and rectangle of the paint in progress for the window; FALSE outside one.
    static BOOL bCurrentPaint(const CWnd* pWnd, CBitmap32** ppSurface, RECT* prcPaint);
    // The window whose WM_SETCURSOR is being answered, else the capture's.
    static QWidget* CursorWidget();
    // Static text as the platform shows it: plain text, "&x" a mnemonic
    // unless the static has SS_NOPREFIX, "&&" one "&".
    static void vSetLabelText(CWnd* pWnd, QLabel* label, const QString& text);
    static QString LabelText(const QLabel* label);
    // The control a static's mnemonic moves to; the text is shown again to underline it.
    static void vSetLabelBuddy(CWnd* pLabel, QWidget* buddy);
    // A static's text as shown: "&&" is "&", "&x" shows x.
    static QString StripMnemonics(const QString& text);
    // The font set through WM_SETFONT, which a colour request may override while it paints.
    static void vSetBaseFont(QWidget* widget, const QFont& font);
    static QFont BaseFont(const QWidget* widget);
    // Keys reach PreTranslateMessage and WM_KEYDOWN through one application filter.
    static void vInstallKeyRouter();
    // A key message to its window; TRUE when the class handled it.
    static BOOL bDispatchKey(CWnd* pTarget, const MSG& msg);

private:
    static BOOL bOnPaint(CWnd* pWnd, QPaintEvent* e);
    static BOOL bOnMouse(CWnd* pWnd, QMouseEvent* e);
};
