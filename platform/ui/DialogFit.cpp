// Growing controls to their texts within the free space of their dialog.
#include "platform/ui/DialogFit.h"

#include "platform/ui/WndEvents.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStyle>

#include <algorithm>

namespace {

// The text a label shows: its mnemonic marks are drawn as underlines.
QString ShownText(const QLabel* label)
{
    return label->buddy() ? CWndEvents::StripMnemonics(label->text()) : label->text();
}

BOOL bHasText(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return !label->text().isEmpty() && label->pixmap().isNull();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return !button->text().isEmpty();
    return false;
}

struct Room {
    int nLeft, nRight, nTop, nBottom; // how far the control may reach
};

// Where the neighbours and the dialog's edges stop the control at r.
Room RoomAround(const QWidget* control, const QRect& r, const QWidgetList& siblings, const QSize& size,
                int gapX, int gapY)
{
    Room room{gapX, size.width() - gapX, gapY, size.height() - gapY};
    for (const QWidget* s : siblings) {
        const QRect o = s->geometry();
        if (s == control || o.isEmpty())
            continue;
        const bool bBesides = o.top() <= r.bottom() && o.bottom() >= r.top();
        const bool bAboveOrBelow = o.left() <= r.right() && o.right() >= r.left();
        if (bBesides && o.right() < r.left())
            room.nLeft = std::max(room.nLeft, o.right() + 1 + gapX);
        if (bBesides && o.left() > r.right())
            room.nRight = std::min(room.nRight, o.left() - gapX);
        if (bAboveOrBelow && o.bottom() < r.top())
            room.nTop = std::max(room.nTop, o.bottom() + 1 + gapY);
        if (bAboveOrBelow && o.top() > r.bottom())
            room.nBottom = std::min(room.nBottom, o.top() - gapY);
    }
    // A control placed in the margin keeps its place.
    room.nLeft = std::min(room.nLeft, r.left());
    room.nRight = std::max(room.nRight, r.right() + 1);
    room.nTop = std::min(room.nTop, r.top());
    room.nBottom = std::max(room.nBottom, r.bottom() + 1);
    return room;
}

Qt::Alignment AlignmentOf(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->alignment();
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Widens r by up to nExtra pixels, away from the text's alignment.
QRect Widened(QRect r, int nExtra, Qt::Alignment align, const Room& room)
{
    if (align & Qt::AlignRight) {
        r.setLeft(std::max(room.nLeft, r.left() - nExtra));
    } else if (align & Qt::AlignHCenter) {
        const int left = std::min(nExtra / 2, r.left() - room.nLeft);
        const int right = std::min(nExtra - left, room.nRight - 1 - r.right());
        r.setLeft(r.left() - std::min(nExtra - right, r.left() - room.nLeft));
        r.setRight(r.right() + right);
    } else {
        r.setRight(std::min(room.nRight - 1, r.right() + nExtra));
    }
    return r;
}

// Makes r taller by up to nExtra pixels: both ways for a label centred
// vertically, else downwards first.
QRect Heightened(QRect r, int nExtra, Qt::Alignment align, const Room& room)
{
    const int up = r.top() - room.nTop;
    const int down = room.nBottom - 1 - r.bottom();
    int nDown = (align & Qt::AlignVCenter) ? std::min(down, (nExtra + 1) / 2) : std::min(down, nExtra);
    const int nUp = std::min(up, nExtra - nDown);
    nDown = std::min(down, nExtra - nUp);
    r.setTop(r.top() - nUp);
    r.setBottom(r.bottom() + nDown);
    return r;
}

// The width a control needs to show its text on one line, in pixels; 0 for
// a control without text.
int nSingleLineWidth(const QWidget* control)
{
    if (!bHasText(control))
        return 0;
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        const QMargins m = label->contentsMargins();
        return label->fontMetrics().horizontalAdvance(ShownText(label)) + m.left() + m.right()
            + 2 * label->margin() + 1;
    }
    return control->sizeHint().width();
}

void vFit(QWidget* w, const QWidgetList& siblings, const QSize& size, int gapX, int gapY)
{
    QRect r = w->geometry();
    const Qt::Alignment align = AlignmentOf(w);
    const int need = nSingleLineWidth(w);
    auto* label = qobject_cast<QLabel*>(w);
    if (need > r.width() && (!label || !label->wordWrap() || label->heightForWidth(r.width()) > r.height()))
        r = Widened(r, need - r.width(), align, RoomAround(w, r, siblings, size, gapX, gapY));
    if (label && need > r.width())
        label->setWordWrap(true);
    if (label && label->wordWrap()) {
        const int needHeight = label->heightForWidth(r.width());
        if (needHeight > r.height())
            r = Heightened(r, needHeight - r.height(), align, RoomAround(w, r, siblings, size, gapX, gapY));
    }
    if (r != w->geometry())
        w->setGeometry(r);
}

} // namespace

void vFitDialogTexts(QWidget* dialog, int nGapX, int nGapY)
{
    const QWidgetList children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (bHasText(w) && !w->isWindow())
            vFit(w, children, dialog->size(), nGapX, nGapY);
}
