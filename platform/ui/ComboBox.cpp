// Drop-down list operations on the toolkit's combo box.
#include "platform/ui/ComboBox.h"

#include <QComboBox>

namespace {

QComboBox* ComboOf(const CWnd* w)
{
    return qobject_cast<QComboBox*>(w->GetSafeWidget());
}

} // namespace

int CComboBox::AddString(const QString& text)
{
    QComboBox* c = ComboOf(this);
    if (!c)
        return CB_ERR;
    c->addItem(text);
    return c->count() - 1;
}

void CComboBox::ResetContent()
{
    if (QComboBox* c = ComboOf(this))
        c->clear();
}

int CComboBox::GetCurSel() const
{
    QComboBox* c = ComboOf(this);
    return c && c->currentIndex() >= 0 ? c->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect)
{
    QComboBox* c = ComboOf(this);
    if (!c || nSelect < 0 || nSelect >= c->count())
        return CB_ERR;
    c->setCurrentIndex(nSelect);
    return nSelect;
}
