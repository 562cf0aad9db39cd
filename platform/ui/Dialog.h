// A dialog built from template data: controls by id, Enter and Escape routed
// to OnOK and OnCancel, the close box to WM_SYSCOMMAND, F1 to WM_HELP.
#pragma once

#include "platform/ui/Wnd.h"

struct DialogTemplate;
struct DialogControl;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CDialog() override;

    // Builds the window and its controls, then runs OnInitDialog.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT GetTemplateId() const { return nTemplateId; }
    // Pixels of a rectangle given in this dialog's units.
    int DialogUnitsToPixelsX(int du) const;
    int DialogUnitsToPixelsY(int du) const;

protected:
    CWnd* pParentWnd;

private:
    void vCreateControl(const DialogControl& c);

    UINT nTemplateId;
    int nBaseUnitX = 0;
    int nBaseUnitY = 0;
};
