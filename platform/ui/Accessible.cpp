// Accessible roles for custom controls through a Qt accessibility factory
// that reads the role from the widget.
#include "platform/ui/Accessible.h"

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Wnd.h"
#include "platform/ui/WndEvents.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

const char kRoleProperty[] = "lumicue_role";
const char kDescriptionProperty[] = "lumicue_description";

class CAccessibleControl : public QAccessibleWidget {
public:
    CAccessibleControl(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override
    {
        CWnd* wnd = CWnd::FromWidget(widget());
        switch (t) {
        case QAccessible::Name: {
            const QString text = wnd ? wnd->GetWindowText() : QString();
            return wnd && (wnd->GetStyle() & SS_NOPREFIX) ? text : CWndEvents::StripMnemonics(text);
        }
        case QAccessible::Description:
            return widget()->property(kDescriptionProperty).toString();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    const QVariant role = w->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new CAccessibleControl(w, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void vSetAccessibleRole(CWnd* pWnd, AccessibleRole role, const QString& description)
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    QWidget* w = pWnd ? pWnd->GetSafeWidget() : nullptr;
    if (!w)
        return;
    w->setProperty(kRoleProperty, static_cast<int>(role == AccessibleRole::Link ? QAccessible::Link : QAccessible::Graphic));
    w->setProperty(kDescriptionProperty, description);
    // An interface made before (when the text was first set) is replaced by ours.
    if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(w)) {
        if (old->role() != QAccessible::Link && old->role() != QAccessible::Graphic)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    }
}
