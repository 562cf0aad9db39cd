// Fuzzes the INI reader and the in-place editor: any bytes read without
// fault, and after setting a key the reader finds exactly that value.
#include "platform/storage/Ini.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString value;
    GetProfileStringFromData(bytes, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("x"), value, 1024);
    GetProfileIntFromData(bytes, QStringLiteral("Text"), QStringLiteral("5"), 0);
    bSetProfileStringInData(bytes, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("1031"));
    GetProfileStringFromData(bytes, QStringLiteral("Main"), QStringLiteral("Language"), QString(), value, 1024);
    if (bytes.size() <= INI_MAX_FILE_BYTES && value != QStringLiteral("1031"))
        std::abort();
    return 0;
}
