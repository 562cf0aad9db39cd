// A trackbar (msctls_trackbar32): range and position; every mouse release
// on it reaches the parent as WM_NOTIFY NM_RELEASEDCAPTURE.
#pragma once

#include "platform/ui/Wnd.h"

class CSliderCtrl : public CWnd {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    // Steps of the arrow keys and of Page Up / Page Down.
    void SetLineSize(int nSize);
    void SetPageSize(int nSize);
    void SetPos(int nPos);
    int GetPos() const;
};
