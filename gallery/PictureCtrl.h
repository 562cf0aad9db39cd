// The preview of the chosen pointer picture on the Pointer page: the picture
// stretched to the control over the page's own background, white before any
// picture was set. A click on it (press and release) notifies the parent.
#pragma once

#include "platform/image/PictureCache.h"
#include "platform/ui/Static.h"

#include <QString>

#include <functional>

class CDC;

class CPictureCtrl : public CStatic {
public:
    ~CPictureCtrl() override;

    CPictureCtrl();

    // Shows the picture at the path, decoded at the control's size off the
    // window's thread; until it is there, and when it does not decode, the
    // page's background shows.
    void vSetImage(const QString& strPath);
    // The picture shown was decoded and is none: called with its path.
    std::function<void(const QString& strPath)> fnUnreadable;

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Reports the background as erased without painting: no flicker.
    virtual BOOL OnEraseBkgnd(CDC* pDC);

    COLORREF clrBack = RGB(255, 255, 255);
    QString strPath;
    // The decoded pictures, at the sizes the control was drawn at.
    CPictureCache pictures{1u << 20};
    BOOL bHasImage = FALSE;
};
