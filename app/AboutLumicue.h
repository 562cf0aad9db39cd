// The "About" page of the main window: name and version, the maker's
// notice, the product and support links, and the request for a donation.
#pragma once

#include "platform/ui/Dialog.h"
#include "ui/HLinkCtrl.h"

class CAboutLumicue : public CDialog {
public:
    CAboutLumicue();
    ~CAboutLumicue() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Shows the Donate button and the request beside it.
    void UpdateCtrlOfReg();

    CHLinkCtrl linkMail;
    CHLinkCtrl linkProduct;
};

// "V1.0.0" from a product version "1, 0, 0, 0"; empty when it has fewer than three parts.
QString VersionTag(const QString& productVersion);
// "Lumicue V1.0.0" from a product version "1, 0, 0, 0"; empty when it has fewer than three parts.
QString AboutVersionText(const QString& productVersion);
