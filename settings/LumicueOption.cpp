// Option record and file. Saving goes through a temporary file renamed over
// the old one, so a failed save never leaves an empty or cut file behind;
// only a regular file is read, so a FIFO or device under the name cannot
// hang the start.
#include "settings/LumicueOption.h"

#include "lang/Language.h"
#include "platform/base/VirtualKeys.h"
#include "platform/storage/Archive.h"
#include "platform/storage/SafeFile.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"

#include <QBuffer>
#include <QFileInfo>

namespace {

// Far beyond any real record (a path and seven integers); a bigger file is
// not a record and loads as the defaults.
constexpr qint64 kMaxRecordBytes = 1024 * 1024;

} // namespace

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
    QByteArray bytes;
    const FileRead r = ReadRegularFile(GetFilePath(folder), bytes, kMaxRecordBytes);
    if (r == FileRead::Missing || r == FileRead::Failed)
        return;
    QBuffer record(&bytes);
    record.open(QIODevice::ReadOnly);
    CArchive ar(&record, CArchive::load);
    // An oversized file is a damaged record: an empty one loads as defaults.
    Serialize(ar);
}

BOOL CLumicueOption::bSave(const QString& folder)
{
    QBuffer record;
    record.open(QIODevice::WriteOnly);
    CArchive ar(&record, CArchive::store);
    Serialize(ar);
    return !ar.bFailed() && bReplaceFile(GetFilePath(folder), record.data());
}

void CLumicueOption::vSave(const QString& folder)
{
    // A missing data folder that could not be made: nothing to save into.
    if (!QFileInfo(folder).isDir())
        return;
    if (!bSave(folder))
        AfxMessageBox(GetLangText(QStringLiteral("5"), QStringLiteral("Error Occur!")), MB_ICONEXCLAMATION | MB_TOPMOST);
}

BOOL CLumicueOption::bRegisterHotKey()
{
    return hotKey.bRegister(IDH_TOGGLE);
}

BOOL CLumicueOption::bUnregisterHotKey()
{
    return hotKey.bUnregister(IDH_TOGGLE);
}
