// A static text control turned into a web link: underlined, blue until it
// has been opened, red while the pointer is over it, purple once visited;
// a hand cursor; a click opens the address with the desktop's handler.
#pragma once

#include "platform/ui/Brush.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Font.h"
#include "platform/ui/Static.h"

class CDC;

class CHLinkCtrl : public CStatic {
public:
    CHLinkCtrl();
    ~CHLinkCtrl() override;

    void vSetURL(const QString& url) { strURL = url; }
    // Opens strURL; TRUE on success.
    BOOL bOpenURL();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

    QString strURL;
    HCURSOR hCursorHand;
    COLORREF clrNormal = RGB(0, 0, 255);
    COLORREF clrVisited = RGB(128, 0, 128);
    COLORREF clrHover = RGB(255, 0, 0);
    int nState = 0;      // 0 normal, 1 visited, 2 hovered
    int nSavedState = 0; // the state to return to when the pointer leaves
    CFont fontUnderline;

private:
    // The reflected colour request: font, colour and a hollow background.
    CBrush* pCtlColor(CDC* pDC);
    void vTrackHover(POINT pt);
};
