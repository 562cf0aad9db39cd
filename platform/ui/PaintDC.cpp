// Paint contexts over the surface of the paint in progress.
#include "platform/ui/PaintDC.h"

#include "platform/ui/WndEvents.h"

CPaintDC::CPaintDC(CWnd* pWnd)
{
    if (!CWndEvents::bCurrentPaint(pWnd, &pSurface, &m_ps.rcPaint)) {
        scratch.bCreate(1, 1);
        pSurface = &scratch;
    }
    IntersectClipRect(&m_ps.rcPaint);
}
