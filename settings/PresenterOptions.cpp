// The presenter's options in Config.ini.
#include "settings/PresenterOptions.h"

#include "platform/storage/Ini.h"

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Options");
const QString kSize = QStringLiteral("PointerSize");
const QString kAnnounce = QStringLiteral("AnnounceSwitching");
const QString kClicks = QStringLiteral("ShowClicks");

} // namespace

int CPresenterOptions::nNormalSize(int nPercent)
{
    const int n = std::clamp(nPercent, nSizeMin, nSizeMax);
    return (n + nSizeStep / 2) / nSizeStep * nSizeStep;
}

void CPresenterOptions::vLoad(const QString& strFile)
{
    strConfigFile = strFile;
    nPointerSize = nNormalSize(static_cast<int>(GetPrivateProfileIntW(kSection, kSize, nSizeDefault, strFile)));
    bAnnounceSwitching = GetPrivateProfileIntW(kSection, kAnnounce, 1, strFile) != 0;
    bShowClicks = GetPrivateProfileIntW(kSection, kClicks, 0, strFile) != 0;
}

BOOL CPresenterOptions::bWrite(const QString& key, int nValue) const
{
    if (strConfigFile.isEmpty())
        return FALSE;
    return WritePrivateProfileStringW(kSection, key, QString::number(nValue), strConfigFile);
}

BOOL CPresenterOptions::bSetPointerSize(int nPercent)
{
    nPointerSize = nNormalSize(nPercent);
    return bWrite(kSize, nPointerSize);
}

BOOL CPresenterOptions::bSetAnnounceSwitching(BOOL bOn)
{
    bAnnounceSwitching = bOn ? TRUE : FALSE;
    return bWrite(kAnnounce, bAnnounceSwitching);
}

BOOL CPresenterOptions::bSetShowClicks(BOOL bOn)
{
    bShowClicks = bOn ? TRUE : FALSE;
    return bWrite(kClicks, bShowClicks);
}
