// Tabs and the framed pane of a tab control.
#include "platform/ui/TabControlWidget.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

CTabControlWidget::CTabControlWidget(QWidget* parent) : QWidget(parent), pTabBar(new QTabBar(this))
{
    pTabBar->setDrawBase(false);
    pTabBar->setExpanding(false);
    setFocusProxy(pTabBar);
    setFocusPolicy(Qt::TabFocus);
    QObject::connect(pTabBar, &QTabBar::currentChanged, this, [this](int) {
        if (!bQuiet && onUserSelChange)
            onUserSelChange();
    });
}

void CTabControlWidget::vSetCurrentQuietly(int nIndex)
{
    bQuiet = true;
    pTabBar->setCurrentIndex(nIndex);
    bQuiet = false;
}

void CTabControlWidget::resizeEvent(QResizeEvent*)
{
    pTabBar->setGeometry(2, 0, width() - 4, pTabBar->sizeHint().height());
}

void CTabControlWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = pTabBar->sizeHint().height() - 1;
    frame.rect = QRect(0, top, width(), height() - top);
    frame.tabBarSize = pTabBar->sizeHint();
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarRect = pTabBar->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}
