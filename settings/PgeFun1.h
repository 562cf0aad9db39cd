// The "Pointer" page of the main window: the chosen picture, the opacity
// slider, the hotkey field, the on/off button and the link to more pictures.
#pragma once

#include "platform/ui/SliderCtrl.h"
#include "platform/ui/Static.h"
#include "ui/HLinkCtrl.h"
#include "ui/SkinDialog.h"

class CPgeFun1 : public CSkinDialog {
public:
    CPgeFun1();
    ~CPgeFun1() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CSliderCtrl sliderOpacity;
    CStatic picPointer;
    CHLinkCtrl linkMore;
};
