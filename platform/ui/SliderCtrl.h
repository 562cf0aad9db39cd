// A trackbar (msctls_trackbar32): range and position; every mouse release
// on it reaches the parent as WM_NOTIFY NM_RELEASEDCAPTURE.
#pragma once

#include "platform/ui/Wnd.h"

class CSliderCtrl : public CWnd {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int nPos);
    int GetPos() const;
};
