// The Options page: each control acts on the presenter's options (kept in
// Config.ini at once) or on the option record, and the pointer follows.
#include "settings/PgeOptions.h"

#include "lang/Language.h"
#include "platform/base/VirtualKeys.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/ShellOpen.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"
#include "settings/PointerHost.h"

#include <QDir>
#include <QUrl>

CPgeOptions::CPgeOptions(CPointerHost* host) : CSkinDialog(IDD_OPTIONS_PAGE, nullptr), pHost(host) {}

CPgeOptions::~CPgeOptions() = default;

void CPgeOptions::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_SIZE_SLIDER, sliderSize);
    DDX_Control(pDX, IDC_ANNOUNCE_CHECK, checkAnnounce);
    DDX_Control(pDX, IDC_CLICKS_CHECK, checkClicks);
    DDX_Control(pDX, IDC_UPDATE_CHECK, checkUpdate);
    DDX_Control(pDX, IDC_LANGUAGE_COMBO, comboLanguage);
}

BOOL CPgeOptions::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    TranslateDialog(this, IDD_OPTIONS_PAGE);
    CCoreAssist* core = GetCoreAssist();
    const CPresenterOptions& presenter = core->presenter;
    sliderSize.SetRange(CPresenterOptions::nSizeMin, CPresenterOptions::nSizeMax);
    sliderSize.SetLineSize(CPresenterOptions::nSizeStep);
    sliderSize.SetPageSize(25);
    sliderSize.SetPos(presenter.nPointerSize);
    vShowSize(presenter.nPointerSize);
    checkAnnounce.SetCheck(presenter.bAnnounceSwitching ? BST_CHECKED : BST_UNCHECKED);
    checkClicks.SetCheck(presenter.bShowClicks ? BST_CHECKED : BST_UNCHECKED);
    checkUpdate.SetCheck(core->option.bAutoCheckUpdate ? BST_CHECKED : BST_UNCHECKED);
    vFillLanguages();
    bFilled = TRUE;
    return TRUE;
}

void CPgeOptions::vFillLanguages()
{
    comboLanguage.ResetContent();
    languageChoices.clear();
    comboLanguage.AddString(GetLangText(QStringLiteral("111"), QStringLiteral("Automatic (from the system)")));
    languageChoices.push_back(LANG_AUTOMATIC);
    for (const SLanguageChoice& choice : AvailableLanguages()) {
        comboLanguage.AddString(choice.strName);
        languageChoices.push_back(static_cast<int>(choice.nLangId));
    }
    const int nStored = nStoredLanguageChoice();
    int nSelect = 0;
    for (std::size_t i = 0; i < languageChoices.size(); ++i)
        if (languageChoices[i] == nStored)
            nSelect = static_cast<int>(i);
    comboLanguage.SetCurSel(nSelect);
}

void CPgeOptions::vShowSize(int nPercent)
{
    if (CWnd* value = GetDlgItem(IDC_SIZE_VALUE))
        value->SetWindowText(QStringLiteral("%1 %").arg(nPercent));
}

void CPgeOptions::vOnSizeChanged()
{
    const int nPos = sliderSize.GetPos();
    const int nSize = CPresenterOptions::nNormalSize(nPos);
    if (nSize != nPos) {
        sliderSize.SetPos(nSize); // comes back here with a whole step
        return;
    }
    vShowSize(nSize);
    CPresenterOptions& presenter = GetCoreAssist()->presenter;
    if (nSize == presenter.nPointerSize)
        return;
    presenter.bSetPointerSize(nSize);
    if (CPointerHost* host = Host())
        host->vApplyOptions();
}

void CPgeOptions::vOnCheck(int nId)
{
    CCoreAssist* core = GetCoreAssist();
    switch (nId) {
    case IDC_ANNOUNCE_CHECK:
        core->presenter.bSetAnnounceSwitching(checkAnnounce.GetCheck() == BST_CHECKED);
        break;
    case IDC_CLICKS_CHECK: {
        // In effect before it is written: whoever reads the file may click at once.
        const BOOL bOn = checkClicks.GetCheck() == BST_CHECKED;
        core->presenter.bShowClicks = bOn;
        if (CPointerHost* host = Host())
            host->vApplyOptions();
        core->presenter.bSetShowClicks(bOn);
        break;
    }
    case IDC_UPDATE_CHECK:
        // Kept with the option record when it is saved; the check runs at the next start.
        core->option.bAutoCheckUpdate = checkUpdate.GetCheck() == BST_CHECKED ? TRUE : FALSE;
        break;
    default:
        break;
    }
}

void CPgeOptions::vOnLanguageChosen()
{
    const int nSel = comboLanguage.GetCurSel();
    if (nSel >= 0 && nSel < static_cast<int>(languageChoices.size()))
        bStoreLanguageChoice(languageChoices[static_cast<std::size_t>(nSel)]);
}

BOOL CPgeOptions::bOpenPictureFolder()
{
    const QString folder = GetCoreAssist()->UserPointerFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return FALSE;
    return bShellOpen(QUrl::fromLocalFile(folder).toString());
}

LRESULT CPgeOptions::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Filling the controls is no change of the user's.
    if (message == WM_HSCROLL && reinterpret_cast<CWnd*>(lParam) == &sliderSize && bFilled) {
        vOnSizeChanged();
        return 0;
    }
    if (message == WM_COMMAND) {
        const int nId = LOWORD(wParam);
        if (HIWORD(wParam) == CBN_SELCHANGE && nId == IDC_LANGUAGE_COMBO) {
            vOnLanguageChosen();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && nId == IDC_OPEN_FOLDER) {
            bOpenPictureFolder();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED) {
            vOnCheck(nId);
            return 0;
        }
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

BOOL CPgeOptions::PreTranslateMessage(MSG* pMsg)
{
    // Enter and Escape on the page neither confirm nor close the dialog.
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN)
        && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN))
        return TRUE;
    return CSkinDialog::PreTranslateMessage(pMsg);
}
