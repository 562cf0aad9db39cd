// Archive byte forms: every string length form, both ways, and refusals.
#include "platform/storage/Archive.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QByteArray Stored(const std::function<void(CArchive&)>& write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    write(ar);
    EXPECT_FALSE(ar.bFailed());
    return buffer.data();
}

struct Loaded {
    BOOL ok;
    QString text;
    qint64 pos;
};

Loaded LoadString(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    Loaded r;
    r.ok = ar.bReadString(r.text);
    r.pos = buffer.pos();
    EXPECT_EQ(bool(r.ok), !ar.bFailed());
    return r;
}

} // namespace

TEST(ArchiveTest, IntegersAreLittleEndian)
{
    EXPECT_EQ(Stored([](CArchive& ar) { ar.bWriteInt(-2); ar.bWriteInt(0x01020304); }),
              QByteArray("\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 8));
    QBuffer buffer;
    buffer.setData(QByteArray("\x04\x03\x02\x01\x05", 5));
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    std::int32_t v = 0;
    EXPECT_TRUE(ar.bReadInt(v));
    EXPECT_EQ(v, 0x01020304);
    EXPECT_FALSE(ar.bReadInt(v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ar.bFailed());
}

TEST(ArchiveTest, LengthPrefixForms)
{
    auto prefix = [](std::uint64_t n) { return Stored([n](CArchive& ar) { ar.bWriteStringLength(n); }); };
    EXPECT_EQ(prefix(0), QByteArray("\x00", 1));
    EXPECT_EQ(prefix(254), QByteArray("\xFE", 1));
    EXPECT_EQ(prefix(255), QByteArray("\xFF\xFF\x00", 3));
    EXPECT_EQ(prefix(0xFFFD), QByteArray("\xFF\xFD\xFF", 3));
    EXPECT_EQ(prefix(0xFFFE), QByteArray("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7));
    EXPECT_EQ(prefix(0xFFFFFFFEu), QByteArray("\xFF\xFF\xFF\xFE\xFF\xFF\xFF", 7));
    EXPECT_EQ(prefix(0xFFFFFFFFu), QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x00", 15));
}

TEST(ArchiveTest, WideStringsRoundTripInEveryReadableForm)
{
    const QString text = QStringLiteral("A\u00E9\u4E2D");
    const QByteArray units("A\x00\xE9\x00\x2D\x4E", 6);
    EXPECT_EQ(Stored([&](CArchive& ar) { ar.bWriteString(text); }), QByteArray("\xFF\xFE\xFF\x03", 4) + units);
    EXPECT_EQ(Stored([](CArchive& ar) { ar.bWriteString(QString()); }), QByteArray("\xFF\xFE\xFF\x00", 4));

    // Longer length forms than needed are read all the same.
    for (const QByteArray& form : {QByteArray("\xFF\xFE\xFF\x03", 4), QByteArray("\xFF\xFE\xFF\xFF\x03\x00", 6),
                                   QByteArray("\xFF\xFE\xFF\xFF\xFF\xFF\x03\x00\x00\x00", 10),
                                   QByteArray("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x03\x00\x00\x00\x00\x00\x00\x00", 18)}) {
        const Loaded r = LoadString(form + units + "tail");
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, text);
        EXPECT_EQ(r.pos, form.size() + units.size());
    }
}

TEST(ArchiveTest, NarrowStringsInEveryForm)
{
    EXPECT_EQ(LoadString(QByteArray("\x03" "abc", 4)).text, "abc");
    EXPECT_EQ(LoadString(QByteArray("\xFF\x03\x00" "abc", 6)).text, "abc");
    EXPECT_EQ(LoadString(QByteArray("\xFF\xFF\xFF\x03\x00\x00\x00" "abc", 10)).text, "abc");
    EXPECT_EQ(LoadString(QByteArray("\x02\xC3\xA9", 3)).text, QStringLiteral("\u00E9"));
    EXPECT_EQ(LoadString(QByteArray("\x02\xE9\x41", 3)).text, QStringLiteral("\u00E9A"));
}

TEST(ArchiveTest, BadLengthsFailWithoutReading)
{
    // 64-bit lengths with high bits, or beyond 2^31.
    EXPECT_FALSE(LoadString(QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x01\x00\x00\x00\x01\x00\x00\x00", 15)).ok);
    EXPECT_FALSE(LoadString(QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x80\x00\x00\x00\x00", 15)).ok);
    // Lengths that claim more than the data holds; nothing is allocated for them.
    EXPECT_FALSE(LoadString(QByteArray("\xFF\xFF\xFF\xFE\xFF\xFF\x7F" "abc", 10)).ok);
    EXPECT_FALSE(LoadString(QByteArray("\xFF\xFE\xFF\x02" "a\x00" "b", 7)).ok);
    EXPECT_FALSE(LoadString(QByteArray("\x05" "abcd", 5)).ok);
    // Cut inside the prefix.
    EXPECT_FALSE(LoadString(QByteArray("\xFF\xFE", 2)).ok);
    EXPECT_FALSE(LoadString(QByteArray()).ok);
}

TEST(ArchiveTest, AFailureSticks)
{
    QBuffer buffer;
    buffer.setData(QByteArray("\x09" "ab" "\x01\x00\x00\x00", 7));
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    QString s;
    EXPECT_FALSE(ar.bReadString(s));
    std::int32_t v = 7;
    EXPECT_FALSE(ar.bReadInt(v));
    EXPECT_EQ(v, 0);
}
