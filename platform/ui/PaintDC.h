// The device context of a WM_PAINT: the window's surface, clipped to the
// rectangle being painted.
#pragma once

#include "platform/image/Bitmap32.h"
#include "platform/ui/DC.h"

class CWnd;

struct PAINTSTRUCT {
    RECT rcPaint;
    BOOL fErase = FALSE;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    PAINTSTRUCT m_ps;

private:
    // Used when there is no paint in progress: drawing then goes nowhere.
    CBitmap32 scratch;
};
