// Archive byte forms. Every length read from the data is checked against
// the bytes that are left before anything is allocated for it.
#include "platform/storage/Archive.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QtEndian>

#include <vector>

namespace {

QString DecodeNarrow(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

} // namespace

CArchive::CArchive(QIODevice* device, Mode mode) : pDevice(device), eMode(mode)
{
}

BOOL CArchive::bFail()
{
    bFailure = TRUE;
    return FALSE;
}

std::int64_t CArchive::nBytesLeft() const
{
    if (pDevice->isSequential())
        return pDevice->bytesAvailable();
    return pDevice->size() - pDevice->pos();
}

BOOL CArchive::bReadBytes(void* data, std::int64_t count)
{
    if (bFailure || eMode != load || count > nBytesLeft())
        return bFail();
    if (count == 0)
        return TRUE;
    if (pDevice->read(static_cast<char*>(data), count) != count)
        return bFail();
    return TRUE;
}

BOOL CArchive::bWriteBytes(const void* data, std::int64_t count)
{
    if (bFailure || eMode != store)
        return bFail();
    if (count == 0)
        return TRUE;
    if (pDevice->write(static_cast<const char*>(data), count) != count)
        return bFail();
    return TRUE;
}

BOOL CArchive::bWriteInt(std::int32_t value)
{
    unsigned char b[4];
    qToLittleEndian<quint32>(static_cast<quint32>(value), b);
    return bWriteBytes(b, 4);
}

BOOL CArchive::bReadInt(std::int32_t& value)
{
    unsigned char b[4];
    if (!bReadBytes(b, 4)) {
        value = 0;
        return FALSE;
    }
    value = static_cast<std::int32_t>(qFromLittleEndian<quint32>(b));
    return TRUE;
}

BOOL CArchive::bWriteStringLength(std::uint64_t n)
{
    std::vector<unsigned char> b;
    auto put = [&b](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(BYTE(v >> (8 * i)));
    };
    if (n < 0xFF) {
        put(n, 1);
    } else if (n < 0xFFFE) {
        put(0xFF, 1);
        put(n, 2);
    } else if (n < 0xFFFFFFFFu) {
        put(0xFF, 1);
        put(0xFFFF, 2);
        put(n, 4);
    } else {
        put(0xFF, 1);
        put(0xFFFF, 2);
        put(0xFFFFFFFFu, 4);
        put(n, 8);
    }
    return bWriteBytes(b.data(), std::int64_t(b.size()));
}

BOOL CArchive::bWriteString(const QString& text)
{
    const unsigned char marker[3] = {0xFF, 0xFE, 0xFF};
    if (!bWriteBytes(marker, 3) || !bWriteStringLength(std::uint64_t(text.size())))
        return FALSE;
    QByteArray units(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<quint16>(text.utf16(), text.size(), units.data());
    return bWriteBytes(units.constData(), units.size());
}

// A byte below 0xFF is the length; after 0xFF a 16-bit word carries on.
// The word 0xFFFE marks a wide string, whose length follows in that form.
BOOL CArchive::bReadStringLength(std::uint32_t& length, BOOL& bWide)
{
    bWide = FALSE;
    for (;;) {
        unsigned char b[2];
        if (!bReadBytes(b, 1))
            return FALSE;
        if (b[0] < 0xFF) {
            length = b[0];
            return TRUE;
        }
        if (!bReadBytes(b, 2))
            return FALSE;
        const std::uint32_t word = qFromLittleEndian<quint16>(b);
        if (word != 0xFFFE || bWide)
            return bReadLongLength(word, length);
        bWide = TRUE;
    }
}

// The word is the length below 0xFFFF; else a 32-bit one follows, and
// after 0xFFFFFFFF a 64-bit one, which must fit a string we can hold.
BOOL CArchive::bReadLongLength(std::uint32_t word, std::uint32_t& length)
{
    if (word < 0xFFFF) {
        length = word;
        return TRUE;
    }
    unsigned char d[4];
    if (!bReadBytes(d, 4))
        return FALSE;
    const std::uint32_t dword = qFromLittleEndian<quint32>(d);
    if (dword < 0xFFFFFFFFu) {
        length = dword;
        return TRUE;
    }
    unsigned char q[8];
    if (!bReadBytes(q, 8))
        return FALSE;
    const std::uint32_t low = qFromLittleEndian<quint32>(q);
    const std::uint32_t high = qFromLittleEndian<quint32>(q + 4);
    if (high != 0 || low >= 0x80000000u)
        return bFail();
    length = low;
    return TRUE;
}

BOOL CArchive::bReadString(QString& text)
{
    text.clear();
    std::uint32_t length = 0;
    BOOL bWide = FALSE;
    if (!bReadStringLength(length, bWide))
        return FALSE;
    const std::int64_t bytes = std::int64_t(length) * (bWide ? 2 : 1);
    if (bytes > nBytesLeft())
        return bFail();
    QByteArray data(qsizetype(bytes), Qt::Uninitialized);
    if (!bReadBytes(data.data(), bytes))
        return FALSE;
    if (!bWide) {
        text = DecodeNarrow(data);
        return TRUE;
    }
    text.resize(qsizetype(length));
    qFromLittleEndian<quint16>(data.constData(), qsizetype(length), text.data());
    return TRUE;
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = nObjectSchema;
    nObjectSchema = 0xFFFFFFFFu;
    return schema;
}
