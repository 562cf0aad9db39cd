// The Pointer page: the gallery, the preview, the opacity, the hotkey field
// and the on/off button, each acting on the option record at once.
#include "settings/PgeFun1.h"

#include "lang/Language.h"
#include "platform/base/KeyNames.h"
#include "platform/image/PngImage.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/KeyState.h"
#include "platform/ui/WorkArea.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"
#include "res/MakerSite.h"
#include "settings/PointerHost.h"
#include "ui/MessageIds.h"

#include <QFileInfo>

namespace {
constexpr int nGalleryId = 2;

// The catalogued picture with the file name of a stored path that is gone;
// empty when the file is still there or no picture has that name.
QString MovedPicture(const CImageTypeControl& grid, const QString& strStored)
{
    if (strStored.isEmpty() || QFileInfo::exists(strStored))
        return QString();
    const QString name = QFileInfo(strStored).fileName();
    for (const auto& [index, path] : grid.mapImagePath)
        if (QFileInfo(path).fileName() == name)
            return path;
    return QString();
}

} // namespace

CPgeFun1::CPgeFun1(CPointerHost* host) : CSkinDialog(IDD_POINTER_PAGE, nullptr), pHost(host) {}

CPgeFun1::~CPgeFun1() = default;

void CPgeFun1::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_OPACITY_SLIDER, sliderOpacity);
    DDX_Control(pDX, IDC_POINTER_PREVIEW, picPointer);
    DDX_Control(pDX, IDC_LINK_MORE, linkMore);
}

BOOL CPgeFun1::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    TranslateDialog(this, IDD_POINTER_PAGE);
    SetCtrlStyle(IDC_POINTER_HINT, SKIN_DEFAULT, nullptr, RGB(0, 0, 255));
    if (const CWnd* hint = GetDlgItem(IDC_POINTER_HINT))
        strHint = hint->GetWindowText();

    linkMore.vSetURL(PointerPicturesPage());
    linkMore.SetWindowText(GetLangText(QStringLiteral("109"), QStringLiteral("Get More Custom Pointer Graphics ")));

    CCoreAssist* core = GetCoreAssist();
    CImageTypeControl& grid = *wndGallery.pControl;
    grid.bInit(48, 48, core->PointerFolders(), TRUE);
    grid.strCannotShow = GetLangText(QStringLiteral("113"), QStringLiteral("This picture cannot be shown."));
    // A large folder must not make a pop-up larger than the screen.
    const RECT rcWork = WorkAreaAt(POINT{0, 0});
    if (!IsRectEmpty(&rcWork))
        grid.vFitInto(RectWidth(rcWork) - CImageTypeWnd::nShadowDepth, RectHeight(rcWork) - CImageTypeWnd::nShadowDepth);
    wndGallery.bCreatePopup(WS_POPUP, nGalleryId, &grid.rcControl, this, 0, 300, 200, 0);
    // A first run, or a picture gone from the folder: the same file in a
    // pointer folder (the program was moved), else the first one. One that
    // is no longer a picture counts as gone.
    if (!core->option.strPointerFile.isEmpty() && QFileInfo::exists(core->option.strPointerFile)
        && !CPngImage::bHeaderAcceptable(core->option.strPointerFile))
        core->option.strPointerFile.clear();
    if (grid.bSelectPathOrFirst(core->option.strPointerFile)) {
        const QString moved = MovedPicture(grid, core->option.strPointerFile);
        if (!moved.isEmpty())
            grid.bSelectPathOrFirst(moved);
        core->option.strPointerFile = grid.GetSelectedPath();
    }
    picPointer.fnUnreadable = [this](const QString& strPath) { vRefusePicture(strPath); };
    vUpdateControls();
    return TRUE;
}

void CPgeFun1::vUpdateControls()
{
    CLumicueOption& option = GetCoreAssist()->option;
    picPointer.vSetImage(option.strPointerFile);
    sliderOpacity.SetRangeMin(0, TRUE);
    sliderOpacity.SetRangeMax(100, TRUE);
    sliderOpacity.SetPos(option.nOpacity);
    if (CWnd* field = GetDlgItem(IDC_HOTKEY_EDIT))
        field->SetWindowText(option.hotKey.GetHotKeyText());
    vUpdateSwitchButton();
}

void CPgeFun1::vUpdateSwitchButton()
{
    CWnd* button = GetDlgItem(IDC_SWITCH_BUTTON);
    if (!button)
        return;
    const CPointerHost* host = Host();
    button->SetWindowText(host && host->bIsPointerOn() ? GetLangText(QStringLiteral("105"), QStringLiteral("Deactivate"))
                                                       : GetLangText(QStringLiteral("104"), QStringLiteral("Activate")));
}

void CPgeFun1::vStoreSettings()
{
    GetCoreAssist()->option.nOpacity = sliderOpacity.GetPos();
}

void CPgeFun1::vOpenGallery()
{
    if (!wndGallery.IsWindow())
        return;
    // Pictures added to or removed from the folders since the last showing.
    CImageTypeControl& grid = *wndGallery.pControl;
    grid.bSelectPathOrFirst(GetCoreAssist()->option.strPointerFile);
    if (grid.bRescan()) {
        // The first paint adds the shadow's room itself.
        const int nShadow = wndGallery.bFirstPaint ? 0 : CImageTypeWnd::nShadowDepth;
        wndGallery.SetWindowPos(nullptr, 0, 0, RectWidth(grid.rcControl) + nShadow,
            RectHeight(grid.rcControl) + nShadow, SWP_NOMOVE | SWP_NOZORDER);
    }
    // With no pictures there is nothing to choose from.
    if (grid.nCount == 0)
        return;
    RECT rc;
    picPointer.GetWindowRect(&rc);
    // Below the preview, moved back inside the work area where it would
    // cross its edge; the grid scrolls where the area is too small for it.
    POINT at{rc.left, rc.bottom};
    const RECT rcWork = WorkAreaAt(at);
    if (!IsRectEmpty(&rcWork)) {
        wndGallery.vFitInto(rcWork);
        at = GridGeometry::PlaceInside(at, RectWidth(grid.rcControl) + CImageTypeWnd::nShadowDepth,
            RectHeight(grid.rcControl) + CImageTypeWnd::nShadowDepth, rcWork);
    }
    wndGallery.SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    wndGallery.ShowWindow(SW_SHOW);
}

LRESULT CPgeFun1::OnImageTypeSelected()
{
    const QString path = wndGallery.pControl->GetSelectedPath();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return 0;
    CLumicueOption& option = GetCoreAssist()->option;
    if (!CPngImage::bHeaderAcceptable(path)) {
        wndGallery.pControl->bSelectPathOrFirst(option.strPointerFile);
        vShowHint(TRUE);
        return 0;
    }
    // A file that looks like a picture may still not decode: the preview
    // finds out, and then this one is taken back.
    if (path != option.strPointerFile)
        strPrevious = option.strPointerFile;
    option.strPointerFile = path;
    vShowHint(FALSE);
    picPointer.vSetImage(path);
    if (CPointerHost* host = Host())
        host->vUpdatePointer();
    return 0;
}

void CPgeFun1::vRefusePicture(const QString& strPath)
{
    CLumicueOption& option = GetCoreAssist()->option;
    if (strPath != option.strPointerFile)
        return;
    CImageTypeControl& grid = *wndGallery.pControl;
    const bool bBack = !strPrevious.isEmpty() && strPrevious != strPath && QFileInfo::exists(strPrevious);
    grid.bSelectPathOrFirst(bBack ? strPrevious : QString());
    strPrevious.clear();
    option.strPointerFile = grid.GetSelectedPath() == strPath ? QString() : grid.GetSelectedPath();
    vShowHint(TRUE);
    picPointer.vSetImage(option.strPointerFile);
    if (CPointerHost* host = Host())
        host->vUpdatePointer();
}

void CPgeFun1::vShowHint(BOOL bRefused)
{
    if (CWnd* hint = GetDlgItem(IDC_POINTER_HINT))
        hint->SetWindowText(bRefused ? GetLangText(QStringLiteral("113"), QStringLiteral("This picture cannot be shown."))
                                     : strHint);
}

LRESULT CPgeFun1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr && hdr->idFrom == static_cast<UINT_PTR>(IDC_OPACITY_SLIDER) && hdr->code == NM_RELEASEDCAPTURE) {
            // The overlay takes the new opacity at once, not only on OK.
            vStoreSettings();
            if (CPointerHost* host = Host())
                host->vUpdatePointer();
            return 0;
        }
        break;
    }
    case WM_SETCURSOR: {
        const CWnd* under = reinterpret_cast<const CWnd*>(wParam);
        if (under && under->GetDlgCtrlID() == IDC_POINTER_PREVIEW) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_IMAGETYPE_SELECTED:
        return OnImageTypeSelected();
    case WM_ERASEBKGND:
        // A dialog's paint starts with its erase.
        if (!bWarmPosted) {
            bWarmPosted = TRUE;
            PostMessage(WM_WARM_GALLERY);
        }
        break;
    case WM_WARM_GALLERY:
        wndGallery.pControl->vWarm();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == IDC_POINTER_PREVIEW) {
            vOpenGallery();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SWITCH_BUTTON) {
            // The host updates this page's button itself.
            if (CPointerHost* host = Host())
                host->bTogglePointer();
            return 0;
        }
        break;
    default:
        break;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CPgeFun1::vTakeHotKey(const MSG& msg)
{
    CHotKey key;
    BYTE state[256] = {};
    GetKeyboardState(state);
    key.bCtrl = (GetKeyState(VK_CONTROL) & 0x4000) ? TRUE : FALSE;
    key.bShift = (GetKeyState(VK_SHIFT) & 0x4000) ? TRUE : FALSE;
    key.bAlt = (GetKeyState(VK_MENU) & 0x4000) ? TRUE : FALSE;
    key.bWin = ((state[VK_LWIN] | state[VK_RWIN]) & 0x80) ? TRUE : FALSE;
    key.nVirtKey = static_cast<int>(msg.wParam);
    key.bExtended = (msg.lParam >> 24) & 1;
    key.vValidate();
    CHotKey& stored = GetCoreAssist()->option.hotKey;
    stored.bUnregister(IDH_TOGGLE);
    stored = key;
    if (stored.bValid)
        stored.bRegister(IDH_TOGGLE);
    if (CWnd* field = GetDlgItem(IDC_HOTKEY_EDIT))
        field->SetWindowText(key.GetHotKeyText());
}

BOOL CPgeFun1::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN)
        return CSkinDialog::PreTranslateMessage(pMsg);
    const UINT vk = static_cast<UINT>(pMsg->wParam);
    const CWnd* target = pMsg->hwnd;
    const bool bModifier = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_LWIN || vk == VK_RWIN;
    if (target && target == GetDlgItem(IDC_HOTKEY_EDIT) && !bModifier) {
        vTakeHotKey(*pMsg);
        return TRUE;
    }
    // Enter and Escape on the page neither confirm nor close the dialog.
    if (vk == VK_ESCAPE || vk == VK_RETURN)
        return TRUE;
    return CSkinDialog::PreTranslateMessage(pMsg);
}
