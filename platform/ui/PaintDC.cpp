// Paint contexts over the surface of the paint in progress.
#include "platform/ui/PaintDC.h"

#include "platform/ui/WndEvents.h"

CPaintDC::CPaintDC(CWnd* pWnd)
{
    CBitmap32* surface = nullptr;
    if (!CWndEvents::bCurrentPaint(pWnd, &surface, &m_ps.rcPaint)) {
        scratch.bCreate(1, 1);
        surface = &scratch;
        m_ps.rcPaint = RECT{};
    }
    pSurface = surface;
    IntersectClipRect(&m_ps.rcPaint);
}
