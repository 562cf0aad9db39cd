// A reused tool-tip window beside the tray icon.
#include "platform/ui/TrayBalloon.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kDefaultTimeoutMs = 10000;
constexpr int kTextWidth = 300;
constexpr int kIconSize = 32;
constexpr int kGap = 4;
} // namespace

CTrayBalloon::CTrayBalloon(std::function<void()> onClickFn)
    : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), onClick(std::move(onClickFn))
{
    setFrameShape(QFrame::Box);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    QFont bold = titleLabel.font();
    bold.setBold(true);
    titleLabel.setFont(bold);
    for (QLabel* label : {&titleLabel, &textLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setMaximumWidth(kTextWidth);
    }
    auto* layout = new QGridLayout(this);
    layout->addWidget(&iconLabel, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(&titleLabel, 0, 1);
    layout->addWidget(&textLabel, 1, 1);
    hideTimer.setSingleShot(true);
    QObject::connect(&hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void CTrayBalloon::vShow(const QIcon& icon, const QString& title, const QString& text, const QRect& anchor, int nTimeoutMs)
{
    iconLabel.setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(kIconSize, kIconSize));
    iconLabel.setVisible(!icon.isNull());
    titleLabel.setText(title);
    titleLabel.setVisible(!title.isEmpty());
    textLabel.setText(text);
    adjustSize();
    // Above an icon in the lower half of its screen, below one in the upper
    // half, and always on that screen.
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->geometry();
    const QSize size = sizeHint();
    int x = anchor.isValid() ? anchor.center().x() - size.width() / 2 : area.right() - size.width();
    int y = anchor.isValid() && anchor.center().y() < area.center().y() ? anchor.bottom() + kGap
                                                                         : anchor.top() - size.height() - kGap;
    if (!anchor.isValid())
        y = area.bottom() - size.height();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() - size.width()));
    y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() - size.height()));
    move(x, y);
    show();
    raise();
    hideTimer.start(nTimeoutMs > 0 ? nTimeoutMs : kDefaultTimeoutMs);
}

void CTrayBalloon::mousePressEvent(QMouseEvent*)
{
    hideTimer.stop();
    hide();
    if (onClick)
        onClick();
}
