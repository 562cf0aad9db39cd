// Trackbar operations on the slider widget.
#include "platform/ui/SliderCtrl.h"

#include <QSlider>

namespace {

QSlider* SliderOf(const CWnd* w)
{
    return qobject_cast<QSlider*>(w->GetSafeWidget());
}

} // namespace

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL)
{
    if (QSlider* s = SliderOf(this))
        s->setRange(nMin, nMax);
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL)
{
    if (QSlider* s = SliderOf(this))
        s->setMinimum(nMin);
}

void CSliderCtrl::SetRangeMax(int nMax, BOOL)
{
    if (QSlider* s = SliderOf(this))
        s->setMaximum(nMax);
}

void CSliderCtrl::SetPos(int nPos)
{
    if (QSlider* s = SliderOf(this))
        s->setValue(nPos);
}

int CSliderCtrl::GetPos() const
{
    QSlider* s = SliderOf(this);
    return s ? s->value() : 0;
}

void CSliderCtrl::SetLineSize(int nSize)
{
    if (QSlider* s = SliderOf(this))
        s->setSingleStep(nSize);
}

void CSliderCtrl::SetPageSize(int nSize)
{
    if (QSlider* s = SliderOf(this))
        s->setPageStep(nSize);
}
