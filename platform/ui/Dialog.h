// A dialog built from template data: controls by id, Enter and Escape routed
// to OnOK and OnCancel, the close box to WM_SYSCOMMAND, F1 to WM_HELP, and
// Ctrl+Tab / Ctrl+PgDn switching the tabs of a dialog that has a tab control.
// A template marked as a child becomes a page inside its parent window.
#pragma once

#include "platform/ui/Wnd.h"

struct DialogTemplate;
struct DialogControl;

class CDialog : public CWnd {
public:
    // The template and the parent take effect when they are given to Create.
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CDialog() override;

    // Builds the window and its controls, then runs OnInitDialog.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // The base runs the data exchange (UpdateData(FALSE)).
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // DoDataExchange, saving (TRUE) or loading (FALSE).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Pixels of a rectangle given in this dialog's units.
    int DialogUnitsToPixelsX(int du) const;
    int DialogUnitsToPixelsY(int du) const;

private:
    void vCreateControl(const DialogControl& c);
    void vLinkMnemonics(const DialogTemplate& tpl);
    BOOL bSwitchTab(BOOL bForward);

    int nBaseUnitX = 0;
    int nBaseUnitY = 0;
};
