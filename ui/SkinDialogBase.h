// The skin of a dialog: three bold fonts made from the dialog's font, and
// per-control text colours, backgrounds and fonts, looked up by control id,
// then by class key, then by the key for every control.
#pragma once

#include "platform/base/Win32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Font.h"

#include <QString>
#include <map>

class CWnd;
class CDC;

constexpr LONG SKIN_KEY_ALL = 0;
constexpr LONG SKIN_KEY_BUTTON = 21;
constexpr LONG SKIN_KEY_STATIC = 22;
constexpr LONG SKIN_KEY_EDIT = 23;
constexpr LONG SKIN_KEY_OTHER = 24;

// -1 in a colour keeps the default.
constexpr COLORREF SKIN_DEFAULT = static_cast<COLORREF>(-1);

struct CtrlStyle {
    LONG nKey = 0;
    COLORREF clrBk = SKIN_DEFAULT;
    COLORREF clrText = SKIN_DEFAULT;
    CFont* pFont = nullptr;
};

class CSkinDialogBase {
public:
    explicit CSkinDialogBase(CWnd* pOwnerDlg) : pOwner(pOwnerDlg) {}
    ~CSkinDialogBase();
    CSkinDialogBase(const CSkinDialogBase&) = delete;
    CSkinDialogBase& operator=(const CSkinDialogBase&) = delete;

    // Bold, 1.15 times and then 1.3 times as high, from the dialog's font.
    BOOL CreateSkinFonts();
    // Records (or replaces) the style of the key and applies its font at once.
    BOOL SetCtrlStyle(LONG nKey, COLORREF clrBk, CFont* pFont, COLORREF clrText);

    // The style that applies to the child: by id, by class key, by key 0; null when none.
    const CtrlStyle* pFindStyle(const CWnd* pChild) const;
    // The answer to a child's colour request, given the default answer.
    CBrush* pOnCtlColor(CDC* pDC, const CWnd* pChild, CBrush* pDefault);

    // The class key of a window class name (compared without regard to case).
    static LONG nClassKey(const QString& className);
    // The heights of fontBold, fontBoldLarge and fontBoldLarger for a dialog font height.
    static void vBoldHeights(LONG nHeight, LONG out[3]);

    CWnd* pOwner;
    std::map<LONG, CtrlStyle> mapCtrlStyle;
    CFont fontBold;
    CFont fontBoldLarge;
    CFont fontBoldLarger;
    std::map<COLORREF, CBrush> mapBrush;
};
