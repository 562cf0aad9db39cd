// DDX_Control: the first exchange attaches the member to its control.
#include "platform/ui/DataExchange.h"

#include "platform/ui/Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.IsWindow())
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}
