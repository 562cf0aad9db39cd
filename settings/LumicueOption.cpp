// Option record and file. Saving goes through a temporary file renamed over
// the old one, so a failed save never leaves an empty or cut file behind.
#include "settings/LumicueOption.h"

#include "lang/Language.h"
#include "platform/VirtualKeys.h"
#include "platform/storage/Archive.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

CLumicueOption::CLumicueOption()
{
    vSetDefaults();
}

void CLumicueOption::vSetDefaults()
{
    bValid = 1;
    bAutoCheckUpdate = 0;
    hotKey.vSet(0, 0, 0, 1, VK_F8, 0, 0);
    nOpacity = 75;
    strPointerFile.clear();
}

QString CLumicueOption::GetFilePath(const QString& folder)
{
    return folder + QStringLiteral("/AppOption.data");
}

void CLumicueOption::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.bWriteInt(bValid);
        ar.bWriteInt(bAutoCheckUpdate);
        ar.bWriteInt(nOpacity);
        ar.bWriteString(strPointerFile);
        hotKey.Serialize(ar);
    } else {
        ar.bReadInt(bValid);
        ar.bReadInt(bAutoCheckUpdate);
        ar.bReadInt(nOpacity);
        ar.bReadString(strPointerFile);
        hotKey.Serialize(ar);
        // A short or damaged record is not taken in part.
        if (ar.bFailed()) {
            vSetDefaults();
            return;
        }
    }
    bValid = 1;
}

void CLumicueOption::vLoad()
{
    vLoad(GetCoreAssist()->strDataDir);
}

void CLumicueOption::vSave()
{
    vSave(GetCoreAssist()->strDataDir);
}

void CLumicueOption::vLoad(const QString& folder)
{
    QFile file(GetFilePath(folder));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
}

void CLumicueOption::vSave(const QString& folder)
{
    // A missing data folder that could not be made: nothing to save into.
    if (!QFileInfo(folder).isDir())
        return;
    QBuffer record;
    record.open(QIODevice::WriteOnly);
    CArchive ar(&record, CArchive::store);
    Serialize(ar);

    // Unbuffered, so that a short write (a full disk) shows in write's
    // result: a buffered flush at commit can miss it and rename a cut file
    // over the good one.
    QSaveFile file(GetFilePath(folder));
    const QByteArray& bytes = record.data();
    const BOOL bSaved = !ar.bFailed() && file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(bytes) == bytes.size() && file.commit();
    if (!bSaved)
        AfxMessageBox(GetLangText(QStringLiteral("5"), QStringLiteral("Error Occur!")), MB_ICONEXCLAMATION);
}

BOOL CLumicueOption::bRegisterHotKey()
{
    return hotKey.bRegister(IDH_TOGGLE);
}

BOOL CLumicueOption::bUnregisterHotKey()
{
    return hotKey.bUnregister(IDH_TOGGLE);
}
