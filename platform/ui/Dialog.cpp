// Dialogs built from template data, with the keyboard and close-box routing
// that dialog code expects.
#include "platform/ui/Dialog.h"

#include "platform/MulDiv.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace {

constexpr WORD BN_CLICKED = 0;

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

// Static controls show "&x" as an underlined x and "&&" as "&".
QString StripMnemonics(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWindow) : pParentWnd(pParentWindow), nTemplateId(nIDTemplate) {}

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
    nTemplateId = nIDTemplate;
    pParentWnd = pParentWindow;

    QWidget* parentWidget = pParentWindow ? pParentWindow->GetSafeWidget() : nullptr;
    Qt::WindowFlags flags = tpl->bChild ? Qt::Widget
                                        : Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    auto* top = new CDialogWidget(this, parentWidget, flags);

    // Dialog units follow the dialog font: a quarter of the average character
    // width across, an eighth of the character height down.
    QFontMetrics fm(top->font());
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    nBaseUnitX = (fm.horizontalAdvance(sample) / 26 + 1) / 2;
    nBaseUnitY = fm.height();

    Attach(top, tpl->bChild ? QStringLiteral("#32770") : QStringLiteral("#32770"), 0, nullptr);
    top->setWindowTitle(tpl->strTitle);
    top->setFixedSize(DialogUnitsToPixelsX(tpl->cx), DialogUnitsToPixelsY(tpl->cy));
    if (tpl->bChild)
        top->move(DialogUnitsToPixelsX(tpl->x), DialogUnitsToPixelsY(tpl->y));

    for (const DialogControl& c : tpl->controls)
        vCreateControl(c);

    OnInitDialog();
    return TRUE;
}

void CDialog::vCreateControl(const DialogControl& c)
{
    QWidget* top = GetSafeWidget();
    QWidget* w = nullptr;
    const QString cls = c.strClass;
    if (cls.compare("Static", Qt::CaseInsensitive) == 0) {
        auto* label = new QLabel(top);
        if ((c.dwStyle & 0x1F) == SS_ICON) {
            int size = qMin(DialogUnitsToPixelsX(c.cx), DialogUnitsToPixelsY(c.cy));
            label->setPixmap(LoadIconResource(c.strText.toInt()).pixmap(size, size));
        } else {
            label->setText((c.dwStyle & SS_NOPREFIX) ? c.strText : StripMnemonics(c.strText));
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | ((c.dwStyle & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
        }
        w = label;
    } else if (cls.compare("Button", Qt::CaseInsensitive) == 0) {
        auto* button = new QPushButton(c.strText, top);
        button->setDefault((c.dwStyle & 0xF) == BS_DEFPUSHBUTTON);
        button->setAutoDefault(false);
        const int id = c.nId;
        QObject::connect(button, &QPushButton::clicked, button, [this, id] {
            SendMessage(WM_COMMAND, (static_cast<WPARAM>(BN_CLICKED) << 16) | static_cast<WORD>(id), 0);
        });
        w = button;
    } else if (cls.compare("SysTabControl32", Qt::CaseInsensitive) == 0) {
        w = new QTabWidget(top);
    } else if (cls.compare("Edit", Qt::CaseInsensitive) == 0) {
        w = new QLineEdit(c.strText, top);
    } else if (cls.compare("msctls_trackbar32", Qt::CaseInsensitive) == 0) {
        w = new QSlider(Qt::Horizontal, top);
    } else {
        w = new QWidget(top);
    }
    w->setGeometry(DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y), DialogUnitsToPixelsX(c.cx),
        DialogUnitsToPixelsY(c.cy));
    auto child = std::make_unique<CWnd>();
    child->Attach(w, cls, c.nId, this);
    AddChild(std::move(child));
}

BOOL CDialog::OnInitDialog()
{
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
