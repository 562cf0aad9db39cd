// Skin fonts, the style lookup and the colour answer of a skinned dialog.
#include "ui/SkinDialogBase.h"

#include "platform/ui/DC.h"
#include "platform/ui/Wnd.h"

namespace {

BOOL bIsKeyForMany(LONG nKey)
{
    return nKey == SKIN_KEY_ALL || (nKey >= SKIN_KEY_BUTTON && nKey <= SKIN_KEY_OTHER);
}

} // namespace

CSkinDialogBase::~CSkinDialogBase()
{
    fontBold.DeleteObject();
    fontBoldLarge.DeleteObject();
    fontBoldLarger.DeleteObject();
    mapBrush.clear();
}

void CSkinDialogBase::vBoldHeights(LONG nHeight, LONG out[3])
{
    out[0] = nHeight;
    out[1] = static_cast<LONG>(nHeight * 1.15);
    out[2] = static_cast<LONG>(out[1] * 1.3);
}

BOOL CSkinDialogBase::CreateSkinFonts()
{
    LOGFONTW lf = CFont::LogFontOf(pOwner->GetFont());
    LONG heights[3];
    vBoldHeights(lf.lfHeight, heights);
    lf.lfWeight = FW_BOLD;
    CFont* fonts[3] = {&fontBold, &fontBoldLarge, &fontBoldLarger};
    for (int i = 0; i < 3; ++i) {
        lf.lfHeight = heights[i];
        fonts[i]->DeleteObject();
        fonts[i]->CreateFontIndirect(&lf);
    }
    return TRUE;
}

LONG CSkinDialogBase::nClassKey(const QString& cls)
{
    if (cls.compare(u"Button", Qt::CaseInsensitive) == 0)
        return SKIN_KEY_BUTTON;
    if (cls.compare(u"Static", Qt::CaseInsensitive) == 0)
        return SKIN_KEY_STATIC;
    if (cls.isEmpty() || cls.compare(u"Edit", Qt::CaseInsensitive) == 0
        || cls.compare(u"ComboBox", Qt::CaseInsensitive) == 0 || cls.compare(u"ListBox", Qt::CaseInsensitive) == 0)
        return SKIN_KEY_EDIT;
    return SKIN_KEY_OTHER;
}

BOOL CSkinDialogBase::SetCtrlStyle(LONG nKey, COLORREF clrBk, CFont* pFont, COLORREF clrText)
{
    mapCtrlStyle[nKey] = CtrlStyle{nKey, clrBk, clrText, pFont};
    if (pFont && pFont->IsValid()) {
        if (bIsKeyForMany(nKey)) {
            for (CWnd* child : pOwner->EnumChildWindows())
                if (nKey == SKIN_KEY_ALL || nClassKey(child->GetClassName()) == nKey)
                    child->SetFont(pFont->ToQFont(), FALSE);
        } else if (CWnd* child = pOwner->GetDlgItem(nKey)) {
            child->SetFont(pFont->ToQFont(), TRUE);
        }
    }
    if (clrBk != SKIN_DEFAULT && !mapBrush.count(clrBk))
        mapBrush[clrBk].CreateSolidBrush(clrBk);
    return TRUE;
}

const CtrlStyle* CSkinDialogBase::pFindStyle(const CWnd* pChild) const
{
    for (LONG key : {static_cast<LONG>(pChild->GetDlgCtrlID()), nClassKey(pChild->GetClassName()), SKIN_KEY_ALL}) {
        auto it = mapCtrlStyle.find(key);
        if (it != mapCtrlStyle.end())
            return &it->second;
    }
    return nullptr;
}

CBrush* CSkinDialogBase::pOnCtlColor(CDC* pDC, const CWnd* pChild, CBrush* pDefault)
{
    const CtrlStyle* style = pChild ? pFindStyle(pChild) : nullptr;
    if (!style)
        return pDefault;
    if (style->clrText != SKIN_DEFAULT)
        pDC->SetTextColor(style->clrText);
    if (style->clrBk == SKIN_DEFAULT)
        return pDefault;
    pDC->SetBkMode(TRANSPARENT);
    auto it = mapBrush.find(style->clrBk);
    return it != mapBrush.end() ? &it->second : pDefault;
}
