// The widget behind a tab control: a row of tabs along the top over a
// framed pane in which the pages lie (they are children of this widget).
#pragma once

#include <QWidget>
#include <functional>

class QTabBar;

class CTabControlWidget : public QWidget {
public:
    explicit CTabControlWidget(QWidget* parent);

    QTabBar* TabBar() const { return pTabBar; }
    // Selects without telling anyone, as TCM_SETCURSEL does.
    void vSetCurrentQuietly(int nIndex);
    // Called when the user picks another tab.
    std::function<void()> onUserSelChange;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QTabBar* pTabBar;
    bool bQuiet = false;
};
