// Toolkit events become window messages here: paint on a surface or, for a
// toolkit control, the parent's colour request before the control paints;
// mouse with capture and cursor; keys through PreTranslateMessage; size,
// activation, focus and palette changes.
#include "platform/ui/WndEvents.h"

#include "platform/image/Bitmap32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DC.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/KeyState.h"
#include "platform/ui/QtKeys.h"
#include "platform/ui/SysColor.h"
#include "platform/ui/Wnd.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QPointer>
#include <unordered_map>
#include <vector>

namespace {

const char kBaseFontProperty[] = "lumicue_font";
const char kTextProperty[] = "lumicue_text";
const char kBuddyProperty[] = "lumicue_buddy";

struct PaintState {
    CBitmap32 surface;
    BOOL bErasePending = FALSE;
    BOOL bSkipErase = FALSE;
};

struct PaintInProgress {
    const CWnd* pWnd;
    CBitmap32* pSurface;
    RECT rcPaint;
};

std::unordered_map<const CWnd*, PaintState> g_paint;
std::vector<PaintInProgress> g_paintStack;
QPointer<QWidget> g_cursorWidget;

BOOL bIsOwnerDraw(const CWnd* w)
{
    const QString cls = w->GetClassName();
    if (cls.compare("Static", Qt::CaseInsensitive) == 0)
        return (w->GetStyle() & SS_TYPEMASK) == SS_OWNERDRAW;
    if (cls.compare("Button", Qt::CaseInsensitive) == 0)
        return (w->GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW;
    return FALSE;
}

BOOL bIsDialog(const CWnd* w)
{
    return w->GetClassName() == QStringLiteral("#32770");
}

UINT CtlColorMessage(const QString& cls)
{
    if (cls.compare("Static", Qt::CaseInsensitive) == 0 || cls.compare("msctls_trackbar32", Qt::CaseInsensitive) == 0)
        return WM_CTLCOLORSTATIC;
    if (cls.compare("Button", Qt::CaseInsensitive) == 0)
        return WM_CTLCOLORBTN;
    if (cls.compare("Edit", Qt::CaseInsensitive) == 0)
        return WM_CTLCOLOREDIT;
    return WM_NULL;
}

// The answer to a colour request that no class changes: the face colour,
// read at the first request and again after a palette change.
CBrush g_faceBrush;

CBrush* DefaultBrush()
{
    if (!g_faceBrush.IsValid())
        g_faceBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    return &g_faceBrush;
}

QColor QColorOf(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The parent's answer to "what colours and font for this control?", put on the widget.
void vRequestColors(CWnd* w)
{
    CWnd* parent = w->GetParent();
    const UINT message = CtlColorMessage(w->GetClassName());
    if (!parent || message == WM_NULL)
        return;
    CDC dc;
    dc.SetTextColor(CLR_NONE);
    const auto* brush = reinterpret_cast<CBrush*>(
        parent->SendMessage(message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(w)));

    QWidget* widget = w->GetSafeWidget();
    if (!widget)
        return;
    const QPalette app = QApplication::palette(widget);
    QPalette pal = widget->palette();
    const COLORREF text = dc.GetTextColor();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            pal.setColor(g, role, text == CLR_NONE ? app.color(g, role) : QColorOf(text));
    }
    const bool bFill = brush && brush->GetKind() == CBrush::Kind::Solid && brush != DefaultBrush();
    if (bFill)
        pal.setColor(QPalette::Window, QColorOf(brush->GetColor()));
    if (widget->autoFillBackground() != bFill)
        widget->setAutoFillBackground(bFill);
    const QFont font = dc.GetCurrentFont() ? dc.GetCurrentFont()->ToQFont() : CWndEvents::BaseFont(widget);
    if (!widget->property(kBaseFontProperty).isValid())
        widget->setProperty(kBaseFontProperty, widget->font());
    // Only real changes: each one schedules another paint.
    if (font != widget->font())
        widget->setFont(font);
    if (pal != widget->palette())
        widget->setPalette(pal);
}

void vSendDrawItem(CWnd* w, CDC* dc)
{
    DRAWITEMSTRUCT dis;
    dis.CtlType = w->GetClassName().compare("Button", Qt::CaseInsensitive) == 0 ? ODT_BUTTON : ODT_STATIC;
    dis.CtlID = static_cast<UINT>(w->GetDlgCtrlID());
    dis.hwndItem = w;
    dis.hDC = dc;
    w->GetClientRect(&dis.rcItem);
    if (CWnd* parent = w->GetParent())
        parent->SendMessage(WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    else
        w->DrawItem(&dis);
}

QImage ImageOver(CBitmap32& s)
{
    return QImage(reinterpret_cast<uchar*>(s.Bits()), s.Width(), s.Height(), s.Stride(),
        QImage::Format_ARGB32_Premultiplied);
}

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    WPARAM k = 0;
    if (buttons & Qt::LeftButton)
        k |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        k |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        k |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        k |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        k |= MK_CONTROL;
    return k;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    const int base = button == Qt::LeftButton ? 0 : button == Qt::RightButton ? 3 : button == Qt::MiddleButton ? 6 : -1;
    if (base < 0)
        return WM_NULL;
    switch (type) {
    case QEvent::MouseButtonPress:
        return WM_LBUTTONDOWN + base;
    case QEvent::MouseButtonRelease:
        return WM_LBUTTONUP + base;
    case QEvent::MouseButtonDblClick:
        return WM_LBUTTONDBLCLK + base;
    default:
        return WM_NULL;
    }
}

// An "&" that marks a key, not one of a doubled "&&".
BOOL bHasMnemonic(const QString& text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return true;
        ++i;
    }
    return false;
}

// Key presses reach the PreTranslateMessage walk before the toolkit's
// mnemonics and shortcuts, as on Windows: the walk runs when the toolkit asks
// whether a shortcut may take the key (ShortcutOverride). A key the walk
// consumes is kept from the shortcuts and its key event, which follows, is
// swallowed; any other key goes on to the shortcuts and, when none takes it,
// arrives as a key event that is dispatched without walking again.
class CKeyRouter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        auto* widget = qobject_cast<QWidget*>(receiver);
        QWidget* focus = QApplication::focusWidget();
        // Once per key: at the widget it was sent to, not again as it climbs to the parents.
        if (!widget || (focus ? widget != focus : !widget->isWindow()))
            return false;
        CWnd* target = CWnd::FromWidget(widget);
        MSG msg;
        if (!target || !bKeyMessageOf(key, &msg.message, &msg.wParam, &msg.lParam))
            return false;
        msg.hwnd = target;
        const int nWalked = type == QEvent::KeyPress ? nTakeWalked(*key) : -1;
        if (nWalked == 1)
            return true;
        vSetRoutedKeyEvent(key);
        bool consumed = false;
        for (CWnd* w = target; w && !consumed && nWalked < 0; w = w->GetParent())
            consumed = w->PreTranslateMessage(&msg);
        if (type == QEvent::ShortcutOverride) {
            walked = {key->key(), key->modifiers(), key->timestamp(), consumed ? 1 : 0};
            if (consumed)
                e->accept();
        } else if (!consumed) {
            consumed = CWndEvents::bDispatchKey(target, msg);
        }
        vSetRoutedKeyEvent(nullptr);
        return consumed;
    }

private:
    struct SWalked {
        int key = 0;
        Qt::KeyboardModifiers mods;
        quint64 timestamp = 0;
        int nConsumed = -1; // -1: none walked
    };

    // For the key event of a press walked at its ShortcutOverride: 1 when
    // the walk consumed it, 0 when not; -1 when it was not walked.
    int nTakeWalked(const QKeyEvent& key)
    {
        const bool bSame = walked.key == key.key() && walked.mods == key.modifiers() && walked.timestamp == key.timestamp();
        const int n = bSame ? walked.nConsumed : -1;
        walked.nConsumed = -1;
        return n;
    }

    SWalked walked;
};

} // namespace

BOOL CWndEvents::bDispatchKey(CWnd* target, const MSG& msg)
{
    return target->bDispatch(msg.message, msg.wParam, msg.lParam);
}

void CWndEvents::vInstallKeyRouter()
{
    static CKeyRouter* router = nullptr;
    if (router || !QCoreApplication::instance())
        return;
    router = new CKeyRouter;
    router->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(router);
}

BOOL CWndEvents::bFilter(CWnd* w, QEvent* e)
{
    QWidget* widget = w->pWidget;
    switch (e->type()) {
    case QEvent::Paint:
        return bOnPaint(w, static_cast<QPaintEvent*>(e));
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return bOnMouse(w, static_cast<QMouseEvent*>(e));
    case QEvent::Wheel: {
        // One notch is WHEEL_DELTA, positive away from the user.
        const auto* wheel = static_cast<QWheelEvent*>(e);
        const QPoint p = wheel->position().toPoint();
        const int delta = wheel->angleDelta().y();
        return delta != 0 && w->bDispatch(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(p.x(), p.y()));
    }
    case QEvent::Resize:
        w->bDispatch(WM_SIZE, widget->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED,
            MAKELPARAM(widget->width(), widget->height()));
        return FALSE;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (widget->isWindow()) {
            const WORD state = e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE;
            w->bDispatch(WM_ACTIVATE, MAKEWPARAM(state, widget->isMinimized() ? 1 : 0), 0);
        }
        return FALSE;
    case QEvent::PaletteChange:
        if (widget->isWindow()) {
            g_faceBrush.DeleteObject();
            w->bDispatch(WM_SYSCOLORCHANGE, 0, 0);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CWndEvents::bOnPaint(CWnd* w, QPaintEvent* e)
{
    QWidget* widget = w->pWidget;
    const BOOL bOwnerDraw = bIsOwnerDraw(w);
    const BOOL bDialog = bIsDialog(w);
    if (w->bNativePaint && !bOwnerDraw && !bDialog) {
        vRequestColors(w);
        return FALSE;
    }
    PaintState& state = g_paint[w];
    if (state.surface.Width() != widget->width() || state.surface.Height() != widget->height())
        state.surface.bCreate(widget->width(), widget->height());
    if (state.surface.IsEmpty())
        return !w->bNativePaint;
    const QRect r = e->rect();
    const RECT rcPaint{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    CDC dc(&state.surface);
    dc.IntersectClipRect(&rcPaint);
    g_paintStack.push_back(PaintInProgress{w, &state.surface, rcPaint});
    if (!state.bSkipErase)
        w->bDispatch(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    state.bSkipErase = FALSE;
    state.bErasePending = FALSE;
    BOOL bHandled = bDialog ? FALSE : w->bDispatch(WM_PAINT, 0, 0);
    if (!bHandled && bOwnerDraw) {
        vSendDrawItem(w, &dc);
        bHandled = TRUE;
    }
    g_paintStack.pop_back();
    {
        QPainter painter(widget);
        painter.drawImage(r, ImageOver(state.surface), r);
    }
    // A dialog's children paint themselves over the erased background.
    return bHandled || !w->bNativePaint;
}

BOOL CWndEvents::bOnMouse(CWnd* w, QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const LPARAM lp = MAKELPARAM(p.x(), p.y());
    const WPARAM keys = MouseKeys(e->buttons(), e->modifiers());
    if (e->type() == QEvent::MouseMove) {
        if (!CWnd::GetCapture()) {
            g_cursorWidget = w->pWidget;
            w->bDispatch(WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            g_cursorWidget = nullptr;
        }
        return w->bDispatch(WM_MOUSEMOVE, keys, lp);
    }
    const UINT message = MouseMessage(e->type(), e->button());
    if (message == WM_NULL)
        return FALSE;
    return w->bDispatch(message, keys, lp);
}

LRESULT CWndEvents::lrDefault(CWnd* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        // The low four bits of a system command are the platform's own.
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            w->SendMessage(WM_CLOSE);
            break;
        case SC_MINIMIZE:
            w->ShowWindow(SW_MINIMIZE);
            break;
        case SC_RESTORE:
            w->ShowWindow(SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_ERASEBKGND: {
        auto* dc = reinterpret_cast<CDC*>(wParam);
        RECT rc;
        if (dc && dc->GetClipBox(&rc) != NULLREGION)
            dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_SETCURSOR:
        // The parent has the first say; without one, the window's own cursor.
        if (CWnd* parent = w->GetParent(); parent && parent->SendMessage(WM_SETCURSOR, wParam, lParam))
            return TRUE;
        if (reinterpret_cast<CWnd*>(wParam) == w)
            vRestoreCursor(w->pWidget);
        return FALSE;
    case WM_LBUTTONDOWN:
        if (w->GetClassName().compare("Static", Qt::CaseInsensitive) == 0 && (w->GetStyle() & SS_NOTIFY) && w->GetParent())
            w->GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(w->GetDlgCtrlID(), STN_CLICKED), reinterpret_cast<LPARAM>(w));
        return 0;
    default:
        return bIsCtlColorMessage(message) ? reinterpret_cast<LRESULT>(DefaultBrush()) : 0;
    }
}

QString CWndEvents::StripMnemonics(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

void CWndEvents::vForget(CWnd* w)
{
    g_paint.erase(w);
}

void CWndEvents::vMarkErase(CWnd* w, BOOL bErase)
{
    PaintState& state = g_paint[w];
    if (bErase)
        state.bErasePending = TRUE;
    state.bSkipErase = !state.bErasePending;
}

BOOL CWndEvents::bCurrentPaint(const CWnd* w, CBitmap32** ppSurface, RECT* prcPaint)
{
    for (auto it = g_paintStack.rbegin(); it != g_paintStack.rend(); ++it) {
        if (it->pWnd == w) {
            *ppSurface = it->pSurface;
            *prcPaint = it->rcPaint;
            return TRUE;
        }
    }
    return FALSE;
}

QWidget* CWndEvents::CursorWidget()
{
    if (g_cursorWidget)
        return g_cursorWidget;
    CWnd* capture = CWnd::GetCapture();
    return capture ? capture->GetSafeWidget() : nullptr;
}

void CWndEvents::vSetLabelText(CWnd* w, QLabel* label, const QString& text)
{
    label->setProperty(kTextProperty, text);
    label->setTextFormat(Qt::PlainText);
    auto* buddy = label->property(kBuddyProperty).value<QWidget*>();
    const bool bPrefix = !(w->GetStyle() & SS_NOPREFIX);
    if (bPrefix && buddy && bHasMnemonic(text)) {
        // The toolkit underlines the mnemonic and moves to the buddy on Alt+key.
        label->setBuddy(buddy);
        label->setText(text);
    } else {
        label->setBuddy(nullptr);
        label->setText(bPrefix ? CWndEvents::StripMnemonics(text) : text);
    }
}

void CWndEvents::vSetLabelBuddy(CWnd* w, QWidget* buddy)
{
    auto* label = qobject_cast<QLabel*>(w->GetSafeWidget());
    if (!label)
        return;
    label->setProperty(kBuddyProperty, QVariant::fromValue(buddy));
    vSetLabelText(w, label, LabelText(label));
}

QString CWndEvents::LabelText(const QLabel* label)
{
    const QVariant v = label->property(kTextProperty);
    return v.isValid() ? v.toString() : label->text();
}

void CWndEvents::vSetBaseFont(QWidget* widget, const QFont& font)
{
    widget->setProperty(kBaseFontProperty, font);
    widget->setFont(font);
}

QFont CWndEvents::BaseFont(const QWidget* widget)
{
    const QVariant v = widget->property(kBaseFontProperty);
    return v.isValid() ? v.value<QFont>() : widget->font();
}
