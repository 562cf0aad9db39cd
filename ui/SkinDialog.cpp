// Colour requests of a skinned dialog.
#include "ui/SkinDialog.h"

#include "platform/ui/DC.h"

CSkinDialog::CSkinDialog(UINT nIDTemplate, CWnd* pParentWindow)
    : CDialog(nIDTemplate, pParentWindow), CSkinDialogBase(this)
{
}

CSkinDialog::~CSkinDialog() = default;

BOOL CSkinDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateSkinFonts();
    return TRUE;
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (bIsCtlColorMessage(message)) {
        // The platform's answer (the control's own, reflected) comes first.
        auto* pDefault = reinterpret_cast<CBrush*>(CDialog::WindowProc(message, wParam, lParam));
        return reinterpret_cast<LRESULT>(
            pOnCtlColor(reinterpret_cast<CDC*>(wParam), reinterpret_cast<const CWnd*>(lParam), pDefault));
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
