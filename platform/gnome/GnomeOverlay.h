// The overlay on GNOME: the extension draws the picture inside the shell
// and keeps its hot spot under the pointer by itself, so moves from the
// program are not needed. The picture travels through a private file.
#pragma once

#include "platform/OverlayBackend.h"

#include <QString>

class CGnomeShellLink;

class CGnomeOverlay : public COverlayBackend {
public:
    explicit CGnomeOverlay(CGnomeShellLink& link);
    ~CGnomeOverlay() override;

    unsigned long nCreate() override;
    void vDestroy() override;
    BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha) override;
    void vShow(BOOL bShow) override;
    void vKeepOnTop(BOOL) override {} // the extension's actor is above everything
    void vSetHotSpot(int x, int y) override;
    void vMove(int, int) override {}  // the extension follows the pointer

private:
    BOOL bSend();

    CGnomeShellLink& link;
    QString strPicture; // written, empty while there is no picture
    int nWidth = 0;
    int nHeight = 0;
    int nHotX = 0;
    int nHotY = 0;
    std::uint8_t nAlpha = 255;
    BOOL bShown = FALSE;
};
