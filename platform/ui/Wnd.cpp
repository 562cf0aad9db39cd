// Window objects over Qt widgets: message delivery, timers, the window tree.
#include "platform/ui/Wnd.h"

#include "platform/WindowActivation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::User + 0x4C);

struct CMessageEvent : QEvent {
    CMessageEvent(UINT m, WPARAM w, LPARAM l) : QEvent(kMessageEvent), message(m), wParam(w), lParam(l) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

CWnd* g_pMainWnd = nullptr;

bool bOnUiThread()
{
    auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

} // namespace

// Lives on the UI thread and carries posted messages to its window; deleting
// it drops whatever was still queued for a window that is gone.
class CWndEventProxy : public QObject {
public:
    explicit CWndEventProxy(CWnd* owner) : pOwner(owner) {}
    bool event(QEvent* e) override
    {
        if (e->type() != kMessageEvent)
            return QObject::event(e);
        auto* msg = static_cast<CMessageEvent*>(e);
        pOwner->vDeliver(msg->message, msg->wParam, msg->lParam);
        return true;
    }

private:
    CWnd* pOwner;
};

CWnd::CWnd() : pProxy(new CWndEventProxy(this)) {}

CWnd::~CWnd()
{
    if (g_pMainWnd == this)
        g_pMainWnd = nullptr;
    for (auto& [id, timer] : timers)
        delete timer;
    timers.clear();
    delete pProxy;
    // Children first: their widgets belong to ours.
    children.clear();
    if (pWidget && !pParent) {
        QWidget* w = pWidget;
        pWidget = nullptr;
        delete w;
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_SYSCOMMAND) {
        // The low four bits of a system command are the platform's own.
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            break;
        case SC_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(SW_RESTORE);
            break;
        default:
            break;
        }
    }
    return 0;
}

void CWnd::vDeliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!QCoreApplication::instance())
        return FALSE;
    QCoreApplication::postEvent(pProxy, new CMessageEvent(message, wParam, lParam));
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (bOnUiThread())
        return WindowProc(message, wParam, lParam);
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        pProxy, [&] { result = WindowProc(message, wParam, lParam); }, Qt::BlockingQueuedConnection);
    return result;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!pWidget)
        return FALSE;
    BOOL wasVisible = pWidget->isVisible();
    switch (nCmdShow) {
    case SW_HIDE:
        pWidget->hide();
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        pWidget->showNormal();
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        pWidget->showMinimized();
        break;
    default:
        pWidget->show();
        break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return pWidget && pWidget->isVisible();
}

BOOL CWnd::IsIconic() const
{
    return pWidget && pWidget->isMinimized();
}

BOOL CWnd::SetForegroundWindow()
{
    if (!pWidget)
        return FALSE;
    pWidget->raise();
    pWidget->activateWindow();
    // The toolkit's activation waits for the window to be mapped, which a
    // window manager leaves undone for a window it still holds minimised.
    bRequestActivation(pWidget->winId());
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!pWidget)
        return FALSE;
    for (auto& [id, timer] : timers)
        delete timer;
    timers.clear();
    children.clear();
    QWidget* w = pWidget;
    pWidget = nullptr;
    if (!pParent)
        delete w;
    OnWidgetDestroyed();
    return TRUE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse)
{
    auto it = timers.find(nIDEvent);
    QTimer* timer = it != timers.end() ? it->second : nullptr;
    if (!timer) {
        timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, pProxy, [this, nIDEvent] { SendMessage(WM_TIMER, nIDEvent, 0); });
        timers[nIDEvent] = timer;
    }
    timer->start(static_cast<int>(nElapse));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    auto it = timers.find(nIDEvent);
    if (it == timers.end())
        return FALSE;
    delete it->second;
    timers.erase(it);
    return TRUE;
}

BOOL CWnd::HasTimer(UINT_PTR nIDEvent) const
{
    return timers.count(nIDEvent) != 0;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    for (const auto& child : children)
        if (child->nCtrlId == nID)
            return child.get();
    return nullptr;
}

std::vector<CWnd*> CWnd::EnumChildWindows() const
{
    std::vector<CWnd*> out;
    for (const auto& child : children) {
        out.push_back(child.get());
        auto below = child->EnumChildWindows();
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

void CWnd::SetWindowText(const QString& text)
{
    if (!pWidget)
        return;
    if (!pParent)
        pWidget->setWindowTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(pWidget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(pWidget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(pWidget))
        edit->setText(text);
    else
        pWidget->setWindowTitle(text);
}

QString CWnd::GetWindowText() const
{
    if (!pWidget)
        return {};
    if (!pParent)
        return pWidget->windowTitle();
    if (auto* button = qobject_cast<QAbstractButton*>(pWidget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(pWidget))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(pWidget))
        return edit->text();
    return pWidget->windowTitle();
}

void CWnd::SetFont(const QFont& font, BOOL bRedraw)
{
    if (!pWidget)
        return;
    pWidget->setFont(font);
    if (bRedraw)
        pWidget->update();
}

QFont CWnd::GetFont() const
{
    return pWidget ? pWidget->font() : QFont();
}

void CWnd::Attach(QWidget* widget, const QString& className, int ctrlId, CWnd* parent)
{
    pWidget = widget;
    strClassName = className;
    nCtrlId = ctrlId;
    pParent = parent;
    // A widget deleted behind our back (its parent went first) leaves no dangling pointer.
    QObject::connect(widget, &QObject::destroyed, pProxy, [this] { pWidget = nullptr; });
}

CWnd* CWnd::AddChild(std::unique_ptr<CWnd> child)
{
    children.push_back(std::move(child));
    return children.back().get();
}

CWnd* AfxGetMainWnd()
{
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* wnd)
{
    g_pMainWnd = wnd;
}

void PostQuitMessage(int nExitCode)
{
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [nExitCode] { QCoreApplication::exit(nExitCode); }, Qt::QueuedConnection);
}
