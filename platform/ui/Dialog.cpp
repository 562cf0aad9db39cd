// Dialogs built from template data, with the keyboard and close-box routing
// that dialog code expects.
#include "platform/ui/Dialog.h"

#include "platform/base/KeyNames.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogFit.h"
#include "platform/base/MulDiv.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/KeyState.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TabControlWidget.h"
#include "platform/ui/TabCtrl.h"
#include "platform/ui/WndEvents.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>

namespace {

// The top-level widget of a dialog: forwards what the dialog must decide.
class CDialogWidget : public QWidget {
public:
    CDialogWidget(CDialog* dlg, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), pDlg(dlg) {}

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // The close box is a system command; the dialog decides what it means.
        e->ignore();
        pDlg->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        // A page leaves Enter, Escape and F1 to the dialog it lies in.
        if (!isWindow()) {
            QWidget::keyPressEvent(e);
            return;
        }
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
                button->click();
            else
                pDlg->SendMessage(WM_COMMAND, IDOK, 0);
            return;
        case Qt::Key_Escape:
            pDlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return;
        case Qt::Key_F1:
            pDlg->SendMessage(WM_HELP, 0, 0);
            return;
        default:
            QWidget::keyPressEvent(e);
        }
    }

private:
    CDialog* pDlg;
};

// A trackbar tells its parent about every mouse release, after the slider
// has taken its new position.
class CTrackbarWidget : public QSlider {
public:
    explicit CTrackbarWidget(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QSlider::mouseReleaseEvent(e);
        if (CWnd* w = CWnd::FromWidget(this))
            w->NotifyParent(NM_RELEASEDCAPTURE);
    }
};

BOOL bIsClass(const QString& cls, const char* name)
{
    return cls.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

Qt::Alignment StaticAlignment(const DialogControl& c)
{
    Qt::Alignment a = Qt::AlignLeft;
    if ((c.dwStyle & SS_TYPEMASK) == SS_CENTER)
        a = Qt::AlignHCenter;
    else if ((c.dwStyle & SS_TYPEMASK) == SS_RIGHT || (c.dwExStyle & WS_EX_RIGHT))
        a = Qt::AlignRight;
    return a | ((c.dwStyle & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop);
}

} // namespace

CDialog::CDialog(UINT, CWnd*) {}

CDialog::~CDialog() = default;

int CDialog::DialogUnitsToPixelsX(int du) const
{
    return MulDiv(du, nBaseUnitX, 4);
}

int CDialog::DialogUnitsToPixelsY(int du) const
{
    return MulDiv(du, nBaseUnitY, 8);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWindow)
{
    const DialogTemplate* tpl = FindDialogTemplate(nIDTemplate);
    if (!tpl || IsWindow())
        return FALSE;
    QWidget* parentWidget = pParentWindow ? pParentWindow->GetSafeWidget() : nullptr;
    const BOOL bPage = tpl->bChild && parentWidget;
    Qt::WindowFlags flags = bPage ? Qt::Widget
                                  : Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    auto* top = new CDialogWidget(this, bPage ? parentWidget : nullptr, flags);

    // Dialog units follow the dialog font: a quarter of the average character
    // width across, an eighth of the character height down.
    QFontMetrics fm(top->font());
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    nBaseUnitX = (fm.horizontalAdvance(sample) / 26 + 1) / 2;
    nBaseUnitY = fm.height();

    Attach(top, QStringLiteral("#32770"), 0, bPage ? pParentWindow : nullptr);
    if (bPage)
        pParentWindow->AddChildRef(this);
    top->setWindowTitle(tpl->strTitle);
    top->setFixedSize(DialogUnitsToPixelsX(tpl->cx), DialogUnitsToPixelsY(tpl->cy));
    if (bPage)
        top->move(DialogUnitsToPixelsX(tpl->x), DialogUnitsToPixelsY(tpl->y));

    for (const DialogControl& c : tpl->controls)
        vCreateControl(c);
    vLinkMnemonics(*tpl);

    OnInitDialog();
    // Translations and the computed texts are in place now.
    vFitDialogTexts(top, DialogUnitsToPixelsX(2), DialogUnitsToPixelsY(2));
    return TRUE;
}

void CDialog::vCreateControl(const DialogControl& c)
{
    QWidget* top = GetSafeWidget();
    QWidget* w = nullptr;
    const QString cls = c.strClass;
    auto child = std::make_unique<CWnd>();
    child->SetStyle(c.dwStyle);
    // A notification of the control, as WM_COMMAND to the dialog.
    const auto command = [this, id = c.nId](WORD nCode) {
        return [this, id, nCode] { SendMessage(WM_COMMAND, (static_cast<WPARAM>(nCode) << 16) | static_cast<WORD>(id), 0); };
    };
    if (bIsClass(cls, "Static")) {
        const DWORD type = c.dwStyle & SS_TYPEMASK;
        if (type == SS_ETCHEDHORZ) {
            auto* line = new QFrame(top);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            w = line;
        } else {
            auto* label = new QLabel(top);
            label->setTextFormat(Qt::PlainText);
            if (type == SS_ICON) {
                int size = qMin(DialogUnitsToPixelsX(c.cx), DialogUnitsToPixelsY(c.cy));
                label->setPixmap(LoadIconResource(c.strText.toInt()).pixmap(size, size));
            } else {
                label->setWordWrap(!(c.dwStyle & SS_CENTERIMAGE));
                label->setAlignment(StaticAlignment(c));
            }
            w = label;
        }
    } else if (bIsClass(cls, "Button")) {
        QAbstractButton* button = nullptr;
        if ((c.dwStyle & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            button = new QCheckBox(c.strText, top);
        } else {
            auto* push = new QPushButton(c.strText, top);
            push->setDefault((c.dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            push->setAutoDefault(false);
            button = push;
        }
        QObject::connect(button, &QAbstractButton::clicked, button, command(BN_CLICKED));
        w = button;
    } else if (bIsClass(cls, "ComboBox")) {
        auto* combo = new QComboBox(top);
        // Only the user's choice notifies, as CBN_SELCHANGE does.
        QObject::connect(combo, &QComboBox::activated, combo, command(CBN_SELCHANGE));
        w = combo;
    } else if (bIsClass(cls, "SysTabControl32")) {
        auto* tab = new CTabControlWidget(top);
        tab->onUserSelChange = [tab] {
            if (CWnd* wnd = CWnd::FromWidget(tab))
                wnd->NotifyParent(TCN_SELCHANGE);
        };
        w = tab;
    } else if (bIsClass(cls, "Edit")) {
        w = new QLineEdit(c.strText, top);
    } else if (bIsClass(cls, "msctls_trackbar32")) {
        auto* slider = new CTrackbarWidget(top);
        slider->setTickPosition((c.dwStyle & TBS_NOTICKS) ? QSlider::NoTicks : QSlider::TicksBelow);
        // Every change of position, by mouse or keys, reaches the dialog as WM_HSCROLL.
        QObject::connect(slider, &QSlider::valueChanged, slider, [this, slider] {
            if (CWnd* wnd = CWnd::FromWidget(slider))
                SendMessage(WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(wnd));
        });
        w = slider;
    } else {
        w = new QWidget(top);
    }
    w->setFocusPolicy((c.dwStyle & WS_TABSTOP) ? Qt::StrongFocus : (bIsClass(cls, "Static") ? Qt::NoFocus : Qt::ClickFocus));
    w->setGeometry(DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y), DialogUnitsToPixelsX(c.cx),
        DialogUnitsToPixelsY(c.cy));
    w->setVisible((c.dwStyle & WS_VISIBLE) != 0);
    CWnd* wnd = AddChild(std::move(child));
    wnd->Attach(w, cls, c.nId, this);
    if (bIsClass(cls, "Static") && bIsTextStatic(c.dwStyle))
        wnd->SetWindowText(c.strText);
}

// A static's mnemonic moves the focus to the next control that takes it,
// in template order; the tab order is the template order too.
void CDialog::vLinkMnemonics(const DialogTemplate& tpl)
{
    QWidget* previous = nullptr;
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        QWidget* w = GetDlgItem(tpl.controls[i].nId) ? GetDlgItem(tpl.controls[i].nId)->GetSafeWidget() : nullptr;
        if (!w || !(tpl.controls[i].dwStyle & WS_TABSTOP))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        const DialogControl& c = tpl.controls[i];
        CWnd* label = GetDlgItem(c.nId);
        if (!bIsClass(c.strClass, "Static") || !label || (c.dwStyle & SS_NOPREFIX) || !bIsTextStatic(c.dwStyle))
            continue;
        for (size_t j = i + 1; j < tpl.controls.size(); ++j) {
            CWnd* next = GetDlgItem(tpl.controls[j].nId);
            // A nearer label names that control; this one then has none.
            if (bIsClass(tpl.controls[j].strClass, "Static") && !tpl.controls[j].strText.isEmpty()
                && bIsTextStatic(tpl.controls[j].dwStyle))
                break;
            if (next && (tpl.controls[j].dwStyle & WS_TABSTOP)) {
                CWndEvents::vSetLabelBuddy(label, next->GetSafeWidget());
                break;
            }
        }
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    ShowWindow(SW_HIDE);
}

void CDialog::OnCancel()
{
    ShowWindow(SW_HIDE);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam == 0) {
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            break;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || !(GetKeyState(VK_CONTROL) & 0x8000))
        return FALSE;
    const BOOL bShift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (pMsg->wParam == VK_TAB)
        return bSwitchTab(!bShift);
    if (pMsg->wParam == VK_NEXT || pMsg->wParam == VK_PRIOR)
        return bSwitchTab(pMsg->wParam == VK_NEXT);
    return FALSE;
}

// Selects the next (or previous) tab of the dialog's tab control, as a user's click would.
BOOL CDialog::bSwitchTab(BOOL bForward)
{
    for (CWnd* child : EnumChildWindows()) {
        if (child->GetParent() != this || !bIsClass(child->GetClassName(), "SysTabControl32"))
            continue;
        auto* tab = dynamic_cast<CTabControlWidget*>(child->GetSafeWidget());
        const int count = tab ? tab->TabBar()->count() : 0;
        if (count < 2)
            return FALSE;
        const int next = (tab->TabBar()->currentIndex() + (bForward ? 1 : count - 1)) % count;
        tab->TabBar()->setCurrentIndex(next); // reaches the parent as TCN_SELCHANGE
        return TRUE;
    }
    return FALSE;
}
