// The "Options" page of the main window: pointer size, switch balloons,
// click rings, the update check, the language of the next start and the
// user's own picture folder. Each change takes effect and is kept at once,
// except the update check, which the option record keeps when it is saved.
#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/SliderCtrl.h"
#include "ui/SkinDialog.h"

#include <vector>

class CPointerHost;

class CPgeOptions : public CSkinDialog {
public:
    // The host applies what the page changes.
    explicit CPgeOptions(CPointerHost* pHost);
    ~CPgeOptions() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Makes the user's picture folder when it is missing and opens it in
    // the desktop's file manager.
    static BOOL bOpenPictureFolder();

    CSliderCtrl sliderSize;
    CButton checkAnnounce;
    CButton checkClicks;
    CButton checkUpdate;
    CComboBox comboLanguage;

private:
    void vFillLanguages();
    void vShowSize(int nPercent);
    void vOnSizeChanged();
    void vOnCheck(int nId);
    void vOnLanguageChosen();
    CPointerHost* Host() const { return pHost; }

    CPointerHost* pHost;

    BOOL bFilled = FALSE;
    std::vector<int> languageChoices; // per combo item: LANG_AUTOMATIC or an id
};
