// Modal message boxes over QMessageBox, with the Win32 icon styles.
#include "platform/ui/MessageBox.h"

#include "platform/ui/Wnd.h"

#include <QMessageBox>

namespace {
MessageBoxHook g_hook = nullptr;
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    g_hook = hook;
}

int MessageBoxW(CWnd* pOwner, const QString& text, const QString& caption, UINT uType)
{
    if (g_hook)
        return g_hook(pOwner, text, caption, uType);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (uType & 0xF0) {
    case MB_ICONERROR:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, pOwner ? pOwner->GetSafeWidget() : nullptr);
    box.setTextFormat(Qt::PlainText);
    if (uType & MB_TOPMOST)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    return IDOK;
}

int AfxMessageBox(const QString& text, UINT nType)
{
    return MessageBoxW(AfxGetMainWnd(), text, QStringLiteral("Lumicue"), nType);
}
