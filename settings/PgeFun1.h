// The "Pointer" page of the main window: the chosen picture and its gallery,
// the opacity slider, the hotkey field, the on/off button and the link to
// more pictures. Every change takes effect at once; the main window saves.
#pragma once

#include "gallery/PictureCtrl.h"
#include "gallery/PopupImageTypeWnd.h"
#include "platform/ui/SliderCtrl.h"
#include "ui/HLinkCtrl.h"
#include "ui/SkinDialog.h"

class CPointerHost;

class CPgeFun1 : public CSkinDialog {
public:
    // The host switches the pointer and applies what the page changes.
    explicit CPgeFun1(CPointerHost* pHost);
    ~CPgeFun1() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The button tells the pointer's state: "Deactivate" while it is on.
    void vUpdateSwitchButton();
    // Takes the dialog's data and the slider's position (Hide).
    void vStoreSettings();

    CSliderCtrl sliderOpacity;
    CPictureCtrl picPointer;
    CPopupImageTypeWnd wndGallery;
    CHLinkCtrl linkMore;

private:
    void vUpdateControls();
    void vOpenGallery();
    LRESULT OnImageTypeSelected();
    // A chosen picture that is no picture: the one before it stays (or the
    // first one, when there was none), and the hint says why.
    void vRefusePicture(const QString& strPath);
    void vShowHint(BOOL bRefused);
    // A key pressed in the hotkey field becomes the hotkey at once.
    void vTakeHotKey(const MSG& msg);
    CPointerHost* Host() const { return pHost; }

    CPointerHost* pHost;
    BOOL bWarmPosted = FALSE;
    // The picture chosen before the current one, to go back to.
    QString strPrevious;
    // The hint's own text, shown again once a picture is taken.
    QString strHint;
};
