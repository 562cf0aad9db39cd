// The preview of the chosen pointer picture on the Pointer page: the picture
// stretched to the control over the page's own background, white before any
// picture was set. A click on it (press and release) notifies the parent.
#pragma once

#include "platform/image/Bitmap32.h"
#include "platform/ui/Static.h"

#include <QString>

class CDC;

class CPictureCtrl : public CStatic {
public:
    CPictureCtrl() = default;
    ~CPictureCtrl() override;

    // Shows the picture at the path; one that does not decode leaves the
    // page's background showing.
    void vSetImage(const QString& strPath);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Reports the background as erased without painting: no flicker.
    virtual BOOL OnEraseBkgnd(CDC* pDC);

    COLORREF clrBack = RGB(255, 255, 255);
    QString strPath;
    CBitmap32 image;
    BOOL bHasImage = FALSE;
};
