// A dialog with a skin: bold fonts and per-control colours applied when a
// child control asks its dialog for its colours.
#pragma once

#include "platform/ui/Dialog.h"
#include "ui/SkinDialogBase.h"

class CSkinDialog : public CDialog, public CSkinDialogBase {
public:
    explicit CSkinDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CSkinDialog() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
