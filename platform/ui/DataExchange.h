// Dialog data exchange: binding member controls to template controls.
#pragma once

#include "platform/base/Win32.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches rControl to the dialog's control nIDC the first time (subclassing).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
