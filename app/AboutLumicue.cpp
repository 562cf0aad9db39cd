// The About page: links, version text, notice and the Donate button.
#include "app/AboutLumicue.h"

#include "diag/ExceptionReport.h"
#include "lang/Language.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Resources.h"
#include "platform/ui/ShellOpen.h"
#include "res/ResourceIds.h"
#include "res/MakerSite.h"
#include "update/FSysAssist.h"

namespace {

const char kMakerNotice[] = "Copyright (C) 2026 The Lumicue developers";

} // namespace

QString VersionTag(const QString& productVersion)
{
    QStringList parts;
    CFSysAssist().SplitText(productVersion, QStringLiteral(", "), parts);
    if (parts.size() < 3)
        return QString();
    return QStringLiteral("V%1.%2.%3").arg(parts[0], parts[1], parts[2]);
}

QString AboutVersionText(const QString& productVersion)
{
    const QString tag = VersionTag(productVersion);
    return tag.isEmpty() ? QString() : QStringLiteral("Lumicue ") + tag;
}

CAboutLumicue::CAboutLumicue() : CDialog(IDD_ABOUT_PAGE, nullptr) {}

CAboutLumicue::~CAboutLumicue() = default;

void CAboutLumicue::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_LINK_MAIL, linkMail);
    DDX_Control(pDX, IDC_LINK_PRODUCT, linkProduct);
}

BOOL CAboutLumicue::OnInitDialog()
{
    vReportExceptions("CAboutLumicue", "OnInitDialog", [this] {
        CDialog::OnInitDialog();
        TranslateDialog(this, IDD_ABOUT_PAGE);

        const QString product = ProductPage();
        linkProduct.vSetURL(product);
        linkProduct.SetWindowText(product);

        QString mail;
        if (!LoadStringResource(IDS_SUPPORT_MAIL, mail))
            mail = product;
        linkMail.vSetURL(mail);
        linkMail.SetWindowText(mail);

        QString name, internal, version;
        CFSysAssist().GetVersionStrings(nullptr, nullptr, name, internal, version);
        if (CWnd* title = GetDlgItem(IDC_ABOUT_VERSION))
            title->SetWindowText(AboutVersionText(version));
        if (CWnd* notice = GetDlgItem(IDC_ABOUT_NOTICE))
            notice->SetWindowText(QString::fromLatin1(kMakerNotice));
        UpdateCtrlOfReg();
    });
    return TRUE;
}

void CAboutLumicue::UpdateCtrlOfReg()
{
    vReportExceptions("CAboutLumicue", "UpdateCtrlOfReg", [this] {
        if (CWnd* donate = GetDlgItem(static_cast<int>(ID_DONATE)))
            donate->ShowWindow(SW_SHOW);
        if (CWnd* text = GetDlgItem(IDC_DONATE_TEXT)) {
            text->ShowWindow(SW_SHOW);
            text->SetWindowText(GetLangText(QStringLiteral("9"),
                QStringLiteral("Lumicue is free to use, but if you think it is a worthwhile application, I would "
                               "appreciate you donation.")));
        }
    });
}

LRESULT CAboutLumicue::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) == ID_DONATE) {
        bShellOpen(DonatePage());
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
