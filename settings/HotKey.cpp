// Hotkey record. The display words are fixed English: they name keys on
// the keyboard, not texts of the program.
#include "settings/HotKey.h"

#include "platform/storage/Archive.h"
#include "platform/HotKeyRegistrar.h"
#include "platform/base/KeyNames.h"
#include "platform/ui/Wnd.h"

#include <vector>

namespace {

QString KeyName(int virtKey, BOOL extended)
{
    const LONG keyData = ScanKeyData(UINT(virtKey), extended);
    // Grow the buffer while the name fills it, as the name may be cut.
    int size = 128;
    for (;;) {
        std::vector<char16_t> buffer(std::size_t(size) + 1);
        const int n = GetKeyNameTextW(keyData, buffer.data(), size + 1);
        if (n != size)
            return QString::fromUtf16(buffer.data(), n);
        size *= 2;
    }
}

} // namespace

CHotKey::CHotKey(const CHotKey& other)
{
    *this = other;
}

CHotKey& CHotKey::operator=(const CHotKey& other)
{
    if (this == &other)
        return *this;
    bValid = other.bValid;
    bAlt = other.bAlt;
    bCtrl = other.bCtrl;
    bShift = other.bShift;
    bWin = other.bWin;
    nVirtKey = other.nVirtKey;
    bExtended = other.bExtended;
    return *this;
}

void CHotKey::vSet(BOOL ctrl, BOOL shift, BOOL alt, BOOL valid, int virtKey, BOOL win, BOOL extended)
{
    bCtrl = ctrl;
    bShift = shift;
    bAlt = alt;
    bValid = valid;
    nVirtKey = virtKey;
    bWin = win;
    bExtended = extended;
}

void CHotKey::vValidate()
{
    bValid = 1;
    const bool anyModifier = bAlt || bCtrl || bShift || bWin;
    if (!anyModifier
        && (UINT(nVirtKey) == VK_DELETE || UINT(nVirtKey) == VK_BACK || UINT(nVirtKey) == VK_SPACE
            || UINT(nVirtKey) == VK_ESCAPE))
        bValid = 0;
}

UINT CHotKey::GetModifiers() const
{
    UINT mods = 0;
    if (bAlt)
        mods |= MOD_ALT;
    if (bCtrl)
        mods |= MOD_CONTROL;
    if (bShift)
        mods |= MOD_SHIFT;
    if (bWin)
        mods |= MOD_WIN;
    return mods;
}

BOOL CHotKey::bRegister(int nId)
{
    if (!bValid)
        return TRUE;
    if (!RegisterHotKey(AfxGetMainWnd(), nId, GetModifiers(), UINT(nVirtKey))) {
        bRegistered = 0;
        return FALSE;
    }
    bRegistered = 1;
    return TRUE;
}

BOOL CHotKey::bUnregister(int nId)
{
    return UnregisterHotKey(AfxGetMainWnd(), nId);
}

QString CHotKey::GetHotKeyText() const
{
    if (!bValid)
        return QString();
    QString text;
    auto add = [&text](BOOL set, const char* word) {
        if (!set)
            return;
        if (!text.isEmpty())
            text += QStringLiteral(" + ");
        text += QLatin1String(word);
    };
    add(bWin, "Windows");
    add(bCtrl, "Ctrl");
    add(bShift, "Shift");
    add(bAlt, "Alt");
    if (!text.isEmpty())
        text += QStringLiteral(" + ");
    text += KeyName(nVirtKey, bExtended);
    if (!bRegistered)
        text += QStringLiteral(" (Conflict)");
    return text;
}

void CHotKey::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.bWriteInt(bValid);
        ar.bWriteInt(bAlt);
        ar.bWriteInt(bCtrl);
        ar.bWriteInt(bShift);
        ar.bWriteInt(nVirtKey);
        ar.bWriteInt(bWin);
        ar.bWriteInt(bExtended);
        return;
    }
    const UINT schema = ar.GetObjectSchema();
    ar.bReadInt(bValid);
    ar.bReadInt(bAlt);
    ar.bReadInt(bCtrl);
    ar.bReadInt(bShift);
    ar.bReadInt(nVirtKey);
    bWin = 0;
    bExtended = 0;
    if (schema > 1)
        ar.bReadInt(bWin);
    if (schema > 2)
        ar.bReadInt(bExtended);
}
