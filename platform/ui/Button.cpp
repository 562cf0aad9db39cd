// Check state on the toolkit's button.
#include "platform/ui/Button.h"

#include <QAbstractButton>

int CButton::GetCheck() const
{
    auto* button = qobject_cast<QAbstractButton*>(GetSafeWidget());
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck)
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetSafeWidget()); button && button->isCheckable())
        button->setChecked(nCheck == BST_CHECKED);
}
