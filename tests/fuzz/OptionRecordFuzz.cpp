// Fuzzes the option record's loader: any bytes load without fault, and what
// loaded is stored and loads back the same.
#include "platform/storage/Archive.h"
#include "settings/LumicueOption.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray Store(CLumicueOption& option)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    CArchive ar(&out, CArchive::store);
    option.Serialize(ar);
    return out.data();
}

void vLoad(CLumicueOption& option, QByteArray bytes)
{
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    CArchive ar(&in, CArchive::load);
    option.Serialize(ar);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CLumicueOption first;
    vLoad(first, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QByteArray stored = Store(first);
    CLumicueOption second;
    vLoad(second, stored);
    if (Store(second) != stored)
        std::abort();
    return 0;
}
