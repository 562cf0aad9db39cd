// Cursor ids as Qt cursor shapes on the widget being pointed at.
#include "platform/ui/Cursor.h"

#include "platform/ui/WndEvents.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace {

const char kCursorProperty[] = "lumicue_cursor";
const char kOwnCursorProperty[] = "lumicue_own_cursor";

// The system cursors and the toolkit's shape for each.
struct SystemCursor {
    HCURSOR id;
    Qt::CursorShape shape;
};
constexpr SystemCursor kCursors[] = {
    {IDC_ARROW, Qt::ArrowCursor}, {IDC_IBEAM, Qt::IBeamCursor}, {IDC_WAIT, Qt::WaitCursor},
    {IDC_CROSS, Qt::CrossCursor}, {IDC_SIZEALL, Qt::SizeAllCursor}, {IDC_HAND, Qt::PointingHandCursor},
};

Qt::CursorShape ShapeOf(HCURSOR h)
{
    for (const SystemCursor& c : kCursors)
        if (c.id == h)
            return c.shape;
    return Qt::ArrowCursor;
}

} // namespace

HCURSOR LoadCursorW(const void* hInstance, HCURSOR nId)
{
    if (!hInstance)
        for (const SystemCursor& c : kCursors)
            if (c.id == nId)
                return nId;
    return 0;
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
