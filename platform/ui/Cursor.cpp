// Cursor ids as Qt cursor shapes on the widget being pointed at.
#include "platform/ui/Cursor.h"

#include "platform/ui/WndEvents.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace {

const char kCursorProperty[] = "lumicue_cursor";
const char kOwnCursorProperty[] = "lumicue_own_cursor";

Qt::CursorShape ShapeOf(HCURSOR h)
{
    switch (h) {
    case IDC_IBEAM:
        return Qt::IBeamCursor;
    case IDC_WAIT:
        return Qt::WaitCursor;
    case IDC_CROSS:
        return Qt::CrossCursor;
    case IDC_SIZEALL:
        return Qt::SizeAllCursor;
    case IDC_HAND:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

HCURSOR LoadCursorW(const void* hInstance, HCURSOR nId)
{
    if (hInstance)
        return 0;
    switch (nId) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_SIZEALL:
    case IDC_HAND:
        return nId;
    default:
        return 0;
    }
}

HCURSOR SetCursor(HCURSOR hCursor)
{
    QWidget* w = CWndEvents::CursorWidget();
    if (!w)
        return 0;
    const QVariant old = w->property(kCursorProperty);
    if (!old.isValid())
        w->setProperty(kOwnCursorProperty, w->testAttribute(Qt::WA_SetCursor) ? QVariant(w->cursor()) : QVariant());
    w->setProperty(kCursorProperty, hCursor);
    if (hCursor)
        w->setCursor(ShapeOf(hCursor));
    else
        w->setCursor(Qt::BlankCursor);
    return old.isValid() ? old.toInt() : IDC_ARROW;
}

void vRestoreCursor(QWidget* w)
{
    if (!w || !w->property(kCursorProperty).isValid())
        return;
    const QVariant own = w->property(kOwnCursorProperty);
    if (own.isValid())
        w->setCursor(own.value<QCursor>());
    else
        w->unsetCursor();
    w->setProperty(kCursorProperty, QVariant());
    w->setProperty(kOwnCursorProperty, QVariant());
}

void BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
