// Window objects over Qt widgets: message delivery, timers, the window tree,
// geometry, capture, focus and reflection of a child's messages to it.
#include "platform/ui/Wnd.h"

#include "platform/image/Bitmap32.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/WndEvents.h"
#include "platform/WindowActivation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::User + 0x4C);
const char kWndProperty[] = "lumicue_wnd";

struct CMessageEvent : QEvent {
    CMessageEvent(UINT m, WPARAM w, LPARAM l) : QEvent(kMessageEvent), message(m), wParam(w), lParam(l) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

CWnd* g_pMainWnd = nullptr;
CWnd* g_pCapture = nullptr;

BOOL bOnUiThread()
{
    auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// The messages a parent passes back to the child control they are about.
UINT ReflectedMessage(UINT message)
{
    // The dialog's own colour request concerns no child.
    const bool bReflected = (bIsCtlColorMessage(message) && message != WM_CTLCOLORDLG) || message == WM_DRAWITEM
        || message == WM_NOTIFY;
    return bReflected ? OCM__BASE + message : WM_NULL;
}

} // namespace

// Lives on the UI thread and carries posted messages to its window; as the
// widget's event filter it turns toolkit events into messages. Deleting it
// drops whatever was still queued for a window that is gone.
class CWndEventProxy : public QObject {
public:
    explicit CWndEventProxy(CWnd* owner) : pOwner(owner) {}
    bool event(QEvent* e) override
    {
        if (e->type() != kMessageEvent)
            return QObject::event(e);
        auto* msg = static_cast<CMessageEvent*>(e);
        pOwner->WindowProc(msg->message, msg->wParam, msg->lParam);
        return true;
    }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != pOwner->pWidget)
            return false;
        return CWndEvents::bFilter(pOwner, e);
    }

private:
    CWnd* pOwner;
};

CWnd::CWnd() : pProxy(new CWndEventProxy(this)) {}

CWnd::~CWnd()
{
    if (g_pMainWnd == this)
        g_pMainWnd = nullptr;
    if (g_pCapture == this)
        g_pCapture = nullptr;
    CWndEvents::vForget(this);
    vDropTimersAndChildren();
    if (pParent)
        pParent->vForgetChild(this);
    delete pProxy;
    pProxy = nullptr;
    delete std::exchange(pWidget, nullptr);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == OCM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == nDispatching)
        bReachedDefault = TRUE;
    // A message about a child goes to that child first; what it leaves, the platform answers.
    const UINT reflectedMessage = ReflectedMessage(message);
    CWnd* child = nullptr;
    if (message == WM_NOTIFY)
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    else if (message == WM_DRAWITEM)
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
    else if (reflectedMessage != WM_NULL)
        child = reinterpret_cast<CWnd*>(lParam);
    const LRESULT reflected = child ? child->SendMessage(reflectedMessage, wParam, lParam) : 0;
    return reflected ? reflected : CWndEvents::lrDefault(this, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CWnd::bDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const UINT savedMessage = std::exchange(nDispatching, message);
    const BOOL savedDefault = std::exchange(bReachedDefault, FALSE);
    const LRESULT r = WindowProc(message, wParam, lParam);
    const BOOL handled = !bReachedDefault;
    nDispatching = savedMessage;
    bReachedDefault = savedDefault;
    if (pResult)
        *pResult = r;
    return handled;
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
    // A handler run off the UI thread would race the window it handles.
    if (!bOnUiThread()) {
        qWarning("SendMessage(%u) off the UI thread refused: a worker posts", message);
        return 0;
    }
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const QString& className, const QString& windowName, DWORD style, int x, int y,
    int nWidth, int nHeight, CWnd* pParentWnd, UINT nID)
{
    if (IsWindow())
        return FALSE;
    QWidget* parentWidget = pParentWnd ? pParentWnd->GetSafeWidget() : nullptr;
    QWidget* w = nullptr;
    if (style & WS_CHILD) {
        if (!parentWidget)
            return FALSE;
        w = new QWidget(parentWidget);
    } else {
        // A pop-up: no frame, no task-bar entry, above its owner; it takes
        // mouse and keyboard while shown and closes on a click elsewhere.
        w = new QWidget(parentWidget ? parentWidget->window() : nullptr,
            Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    }
    // A layered window's pixels carry alpha for a compositor to blend.
    w->setAttribute((dwExStyle & WS_EX_LAYERED) ? Qt::WA_TranslucentBackground : Qt::WA_OpaquePaintEvent);
    // Like any window, it may take the keyboard focus.
    w->setFocusPolicy(Qt::StrongFocus);
    w->setWindowTitle(windowName);
    w->setGeometry(x, y, nWidth, nHeight);
    dwStyle = style;
    bNativePaint = FALSE;
    Attach(w, className, (style & WS_CHILD) ? static_cast<int>(nID) : 0, (style & WS_CHILD) ? pParentWnd : nullptr);
    if (style & WS_CHILD)
        pParentWnd->AddChildRef(this);
    if (style & WS_VISIBLE)
        w->show();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* parent)
{
    if (!parent || IsWindow())
        return FALSE;
    for (ChildEntry& entry : parent->children) {
        if (entry.pWnd == this || entry.pWnd->nCtrlId != static_cast<int>(nID) || !entry.pWnd->pWidget)
            continue;
        CWnd* old = entry.pWnd;
        QWidget* w = old->pWidget;
        const QString cls = old->strClassName;
        dwStyle = old->dwStyle;
        bNativePaint = old->bNativePaint;
        old->vDetachWidget();
        Attach(w, cls, static_cast<int>(nID), parent);
        entry.pWnd = this;
        std::unique_ptr<CWnd> doomed = std::move(entry.owned);
        if (doomed)
            doomed->pParent = nullptr;
        doomed.reset();
        PreSubclassWindow();
        pWidget->update();
        return TRUE;
    }
    return FALSE;
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
        if (pWidget->isWindow())
            pWidget->showNormal();
        else
            pWidget->show();
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
    if (g_pCapture == this)
        ReleaseCapture();
    vDropTimersAndChildren();
    delete std::exchange(pWidget, nullptr);
    return TRUE;
}

void CWnd::vDropTimersAndChildren()
{
    timers.clear();
    // Children first: their widgets belong to ours. Children we do not own
    // (members of a derived class, pages) are gone already or outlive us.
    std::vector<ChildEntry> list = std::move(children);
    children.clear();
    for (ChildEntry& c : list)
        if (!c.owned)
            c.pWnd->pParent = nullptr;
    list.clear();
}

void CWnd::GetClientRect(RECT* rc) const
{
    *rc = pWidget ? RECT{0, 0, pWidget->width(), pWidget->height()} : RECT{};
}

void CWnd::GetWindowRect(RECT* rc) const
{
    if (!pWidget) {
        *rc = RECT{};
        return;
    }
    const QRect frame = pWidget->isWindow() ? pWidget->frameGeometry() : pWidget->rect();
    const QPoint topLeft = pWidget->isWindow() ? frame.topLeft() : pWidget->mapToGlobal(QPoint(0, 0));
    *rc = RECT{topLeft.x(), topLeft.y(), topLeft.x() + frame.width(), topLeft.y() + frame.height()};
}

void CWnd::ClientToScreen(POINT* pt) const
{
    if (!pWidget)
        return;
    const QPoint p = pWidget->mapToGlobal(QPoint(pt->x, pt->y));
    *pt = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(POINT* pt) const
{
    if (!pWidget)
        return;
    const QPoint p = pWidget->mapFromGlobal(QPoint(pt->x, pt->y));
    *pt = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(RECT* rc) const
{
    POINT a{rc->left, rc->top}, b{rc->right, rc->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rc = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (!pWidget)
        return;
    bResizeFixed(nWidth, nHeight);
    pWidget->setGeometry(x, y, nWidth, nHeight);
    if (bRepaint)
        pWidget->update();
}

void CWnd::MoveWindow(const RECT* rc, BOOL bRepaint)
{
    MoveWindow(rc->left, rc->top, RectWidth(*rc), RectHeight(*rc), bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags)
{
    if (!pWidget)
        return FALSE;
    if (!(nFlags & SWP_NOMOVE))
        pWidget->move(x, y);
    if (!(nFlags & SWP_NOSIZE) && !bResizeFixed(cx, cy))
        pWidget->resize(cx, cy);
    if (nFlags & SWP_SHOWWINDOW)
        pWidget->show();
    if (nFlags & SWP_HIDEWINDOW)
        pWidget->hide();
    return TRUE;
}

BOOL CWnd::bResizeFixed(int cx, int cy)
{
    if (pWidget->minimumSize() != pWidget->maximumSize())
        return FALSE;
    pWidget->setFixedSize(cx, cy);
    return TRUE;
}

void CWnd::InvalidateRect(const RECT* rc, BOOL bErase)
{
    if (!pWidget)
        return;
    CWndEvents::vMarkErase(this, bErase);
    if (rc)
        pWidget->update(QRect(rc->left, rc->top, RectWidth(*rc), RectHeight(*rc)));
    else
        pWidget->update();
}

void CWnd::Invalidate(BOOL bErase)
{
    InvalidateRect(nullptr, bErase);
}

void CWnd::UpdateWindow()
{
    if (pWidget && pWidget->isVisible())
        pWidget->repaint();
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = dwStyle;
    dwStyle = (dwStyle & ~dwRemove) | dwAdd;
    return old != dwStyle;
}

CWnd* CWnd::SetCapture()
{
    CWnd* old = g_pCapture;
    if (old == this)
        return old;
    if (old && old->pWidget)
        old->pWidget->releaseMouse();
    g_pCapture = this;
    if (pWidget && pWidget->isVisible())
        pWidget->grabMouse();
    return old;
}

CWnd* CWnd::GetCapture()
{
    return g_pCapture;
}

BOOL CWnd::ReleaseCapture()
{
    CWnd* old = std::exchange(g_pCapture, nullptr);
    if (old && old->pWidget)
        old->pWidget->releaseMouse();
    return TRUE;
}

void CWnd::SetIcon(const QIcon& icon, BOOL)
{
    if (pWidget)
        pWidget->setWindowIcon(icon);
}

CWnd* CWnd::SetFocus()
{
    CWnd* old = FromWidget(QApplication::focusWidget());
    if (pWidget)
        pWidget->setFocus(Qt::OtherFocusReason);
    return old;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse)
{
    std::unique_ptr<QTimer>& timer = timers[nIDEvent];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, pProxy, [this, nIDEvent] { SendMessage(WM_TIMER, nIDEvent, 0); });
    }
    timer->start(static_cast<int>(nElapse));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return timers.erase(nIDEvent) != 0;
}

BOOL CWnd::HasTimer(UINT_PTR nIDEvent) const
{
    return timers.count(nIDEvent) != 0;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    for (const auto& child : children)
        if (child.pWnd->nCtrlId == nID)
            return child.pWnd;
    return nullptr;
}

std::vector<CWnd*> CWnd::EnumChildWindows() const
{
    std::vector<CWnd*> out;
    for (const auto& child : children) {
        out.push_back(child.pWnd);
        auto below = child.pWnd->EnumChildWindows();
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

void CWnd::SetWindowText(const QString& text)
{
    if (!pWidget)
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(pWidget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(pWidget))
        CWndEvents::vSetLabelText(this, label, text);
    else if (auto* edit = qobject_cast<QLineEdit*>(pWidget))
        edit->setText(text);
    else
        pWidget->setWindowTitle(text);
}

QString CWnd::GetWindowText() const
{
    if (!pWidget)
        return {};
    if (auto* button = qobject_cast<QAbstractButton*>(pWidget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(pWidget))
        return CWndEvents::LabelText(label);
    if (auto* edit = qobject_cast<QLineEdit*>(pWidget))
        return edit->text();
    return pWidget->windowTitle();
}

void CWnd::SetFont(const QFont& font, BOOL bRedraw)
{
    if (!pWidget)
        return;
    CWndEvents::vSetBaseFont(pWidget, font);
    if (bRedraw)
        pWidget->update();
}

QFont CWnd::GetFont() const
{
    return pWidget ? CWndEvents::BaseFont(pWidget) : QFont();
}

LRESULT CWnd::NotifyParent(UINT nCode)
{
    if (!pParent)
        return 0;
    NMHDR nm{this, static_cast<UINT_PTR>(nCtrlId), nCode};
    return pParent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(nCtrlId), reinterpret_cast<LPARAM>(&nm));
}

CWnd* CWnd::FromWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kWndProperty);
        if (v.isValid())
            return reinterpret_cast<CWnd*>(v.value<quintptr>());
    }
    return nullptr;
}

void CWnd::Attach(QWidget* widget, const QString& className, int ctrlId, CWnd* parent)
{
    pWidget = widget;
    strClassName = className;
    nCtrlId = ctrlId;
    pParent = parent;
    widget->setProperty(kWndProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    widget->setMouseTracking(true);
    widget->installEventFilter(pProxy);
    CWndEvents::vInstallKeyRouter();
    // A widget deleted behind our back (its parent went first) leaves no dangling pointer.
    QObject::connect(widget, &QObject::destroyed, pProxy, [this] {
        pWidget = nullptr;
        if (g_pCapture == this)
            g_pCapture = nullptr;
    });
}

void CWnd::vDetachWidget()
{
    if (!pWidget)
        return;
    pWidget->removeEventFilter(pProxy);
    pWidget->setProperty(kWndProperty, QVariant());
    QObject::disconnect(pWidget, nullptr, pProxy, nullptr);
    pWidget = nullptr;
}

CWnd* CWnd::AddChild(std::unique_ptr<CWnd> child)
{
    CWnd* p = child.get();
    children.push_back(ChildEntry{p, std::move(child)});
    return p;
}

void CWnd::AddChildRef(CWnd* child)
{
    for (const ChildEntry& c : children)
        if (c.pWnd == child)
            return;
    children.push_back(ChildEntry{child, nullptr});
}

void CWnd::vForgetChild(CWnd* child)
{
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->pWnd == child) {
            it->owned.release(); // the child is being destroyed by its owner already
            children.erase(it);
            return;
        }
    }
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
