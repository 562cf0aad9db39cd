// Fuzzes the language-file lookups over a file holding the input, as the
// program reads an active language file.
#include "lang/Language.h"
#include "platform/storage/Ini.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One file per run, removed when the fuzzer ends.
    static const struct TempFile {
        QString path = QDir::tempPath() + QStringLiteral("/lumicue-fuzz-%1.lng").arg(getpid());
        ~TempFile() { QFile::remove(path); }
    } temp;
    const QString& path = temp.path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    g_szLangFile = path;
    for (const char* id : {"5", "8", "100", "106", "107"})
        GetLangText(QString::fromLatin1(id), QStringLiteral("default"));
    GetPrivateProfileIntW(QStringLiteral("Language"), QStringLiteral("Language"), 0, path);
    GetPrivateProfileIntW(QStringLiteral("Language"), QStringLiteral("FontSize"), 0, path);
    QString face;
    GetPrivateProfileStringW(QStringLiteral("Language"), QStringLiteral("FontName"), QString(), face, 32, path);
    return 0;
}
