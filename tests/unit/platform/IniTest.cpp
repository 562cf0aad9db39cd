// The INI functions against files laid out as Windows reads and writes them.
#include "platform/storage/Ini.h"

#include "platform/image/Bitmap32.h"
#include "platform/image/PngImage.h"
#include "platform/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class IniTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QString WriteRaw(const char* name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    static QByteArray ReadRaw(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QString Get(const QString& file, const char* section, const char* key, const char* def = "dflt",
                       DWORD nSize = 1024)
    {
        QString value;
        const DWORD n = GetPrivateProfileStringW(QString::fromUtf8(section), QString::fromUtf8(key),
                                                 QString::fromUtf8(def), value, nSize, file);
        EXPECT_EQ(n, static_cast<DWORD>(value.size()));
        return value;
    }

    static UINT Int(const QString& file, const char* section, const char* key, int def = 77)
    {
        return GetPrivateProfileIntW(QString::fromUtf8(section), QString::fromUtf8(key), def, file);
    }

    QTemporaryDir dir;
};

TEST_F(IniTest, ReadsAsWindowsDoes)
{
    const QString file = WriteRaw("a.ini",
                                  "; leading comment\r\n"
                                  "orphan=outside any section\r\n"
                                  "  [ Main ]  \r\n"
                                  "  Language =  1031  \r\n"
                                  "Empty=\r\n"
                                  "Blank=    \r\n"
                                  "Quoted=\"  padded  \"\r\n"
                                  "Single='x'\r\n"
                                  "Lone=\"\r\n"
                                  ";Hidden=1\r\n"
                                  "no equals sign here\r\n"
                                  "[broken header\r\n"
                                  "Dup=first\r\n"
                                  "dup=second\r\n"
                                  "Path=C:\\dir\\n=1 ; not a comment\r\n"
                                  "[main]\r\n"
                                  "Later=in a repeated section\r\n"
                                  "[Other]\n"
                                  "Key=other\n");

    EXPECT_EQ(Get(file, "MAIN", "language"), "1031");
    EXPECT_EQ(Get(file, "main", "Empty"), "dflt");
    EXPECT_EQ(Get(file, "main", "Blank"), "dflt");
    EXPECT_EQ(Get(file, "main", "Quoted"), "  padded  ");
    EXPECT_EQ(Get(file, "main", "Single"), "x");
    EXPECT_EQ(Get(file, "main", "Lone"), "\"");
    EXPECT_EQ(Get(file, "main", ";Hidden"), "dflt");
    EXPECT_EQ(Get(file, "main", "Hidden"), "dflt");
    EXPECT_EQ(Get(file, "main", "Dup"), "first");
    EXPECT_EQ(Get(file, "main", "Path"), "C:\\dir\\n=1 ; not a comment");
    EXPECT_EQ(Get(file, "main", "orphan"), "dflt");
    // Only the first section of a name is searched.
    EXPECT_EQ(Get(file, "main", "Later"), "dflt");
    EXPECT_EQ(Get(file, "other", "KEY"), "other");
    EXPECT_EQ(Get(file, "missing", "Key"), "dflt");
    EXPECT_EQ(Get(Path("absent.ini"), "Main", "Language"), "dflt");
    // The default loses its trailing blanks, as Windows gives it back.
    EXPECT_EQ(Get(Path("absent.ini"), "Main", "Language", " lead and trail  "), " lead and trail");
}

TEST_F(IniTest, CutsValuesToTheBuffer)
{
    const QString longValue(2000, u'v');
    const QString file = WriteRaw("cut.ini", "[S]\nLong=" + longValue.toUtf8() + "\nPair=ab\xF0\x9F\x98\x80\n");
    EXPECT_EQ(Get(file, "S", "Long").size(), 1023);
    EXPECT_EQ(Get(file, "S", "Long", "", 5), "vvvv");
    EXPECT_EQ(Get(file, "S", "Long", "", 1), "");
    EXPECT_EQ(Get(file, "S", "Long", "", 0), "");
    EXPECT_EQ(Get(file, "S", "Absent", "default", 4), "def");
    // A cut never leaves half of a surrogate pair.
    EXPECT_EQ(Get(file, "S", "Pair", "", 4), "ab");
    EXPECT_EQ(Get(file, "S", "Pair", "", 5), QString::fromUtf8("ab\xF0\x9F\x98\x80"));
}

TEST_F(IniTest, ParsesIntegersAsWindowsDoes)
{
    const QString file = WriteRaw("int.ini",
                                  "[N]\nPlain=1031\nTrailing=  42abc \nNeg=-5\nPlus=+7\nWord=abc\nEmpty=\n"
                                  "Wide=66567\nHuge=4294967297\nSpaceAfterSign=- 3\n");
    EXPECT_EQ(Int(file, "n", "plain"), 1031u);
    EXPECT_EQ(Int(file, "N", "Trailing"), 42u);
    EXPECT_EQ(Int(file, "N", "Neg"), static_cast<UINT>(-5));
    EXPECT_EQ(Int(file, "N", "Plus"), 7u);
    EXPECT_EQ(Int(file, "N", "Word"), 0u);     // present, not a number: 0, not the default
    EXPECT_EQ(Int(file, "N", "Empty"), 77u);   // empty reads as absent
    EXPECT_EQ(Int(file, "N", "Absent"), 77u);
    EXPECT_EQ(Int(file, "N", "Absent", -1), 0xFFFFFFFFu);
    EXPECT_EQ(Int(file, "N", "Wide"), 66567u);
    EXPECT_EQ(Int(file, "N", "Huge"), 1u);
    EXPECT_EQ(Int(file, "N", "SpaceAfterSign"), 0u);
}

TEST_F(IniTest, ReadsUtf8AndUtf16WithByteOrderMarks)
{
    const QString text = QString::fromUtf8("[Text]\r\n100=Zeiger für Präsentationen\r\n101=指针\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    for (QChar c : text) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
        utf16.append(static_cast<char>(c.unicode() >> 8));
    }
    utf16.append('\0'); // an odd trailing byte is ignored
    const QString f16 = WriteRaw("u16.ini", utf16);
    const QString f8 = WriteRaw("u8.ini", "\xEF\xBB\xBF" + text.toUtf8());
    const QString plain = WriteRaw("plain.ini", text.toUtf8());
    for (const QString& file : {f16, f8, plain}) {
        EXPECT_EQ(Get(file, "text", "100"), QString::fromUtf8("Zeiger für Präsentationen")) << file.toStdString();
        EXPECT_EQ(Get(file, "text", "101"), QString::fromUtf8("指针")) << file.toStdString();
    }
}

TEST_F(IniTest, SurvivesGarbageHugeLinesAndHugeFiles)
{
    std::mt19937 rng(1234);
    QByteArray garbage(256 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(rng() & 0xFF);
    const QString junk = WriteRaw("junk.ini", garbage);
    EXPECT_EQ(Get(junk, "Main", "Language"), "dflt");
    EXPECT_EQ(Int(junk, "Main", "Language"), 77u);

    // A two-megabyte line before the key does not hide it.
    const QString longLine = WriteRaw("long.ini", "[Main]\nx=" + QByteArray(2 * 1024 * 1024, 'x') + "\nLanguage=2052\n");
    EXPECT_EQ(Int(longLine, "Main", "Language"), 2052u);
    EXPECT_EQ(Get(longLine, "Main", "x").size(), 1023);

    // Over the size bound the file reads as empty and is never rewritten.
    QByteArray big = "[Main]\nLanguage=1031\n" + QByteArray(INI_MAX_FILE_BYTES, ';');
    const QString bigFile = WriteRaw("big.ini", big);
    EXPECT_EQ(Int(bigFile, "Main", "Language"), 77u);
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "Language", "1", bigFile));
    EXPECT_EQ(ReadRaw(bigFile), big);

    // A folder of that name is no INI file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    EXPECT_EQ(Get(Path("folder.ini"), "Main", "Language"), "dflt");
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "Language", "1", Path("folder.ini")));
}

TEST_F(IniTest, WritesCreateReplaceAndKeepTheRest)
{
    const QString file = Path("Config.ini");
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "Language", "1031", file));
    EXPECT_EQ(ReadRaw(file), "[Main]\nLanguage=1031\n");
    EXPECT_EQ(Int(file, "main", "language"), 1031u);

    ASSERT_TRUE(WritePrivateProfileStringW("Other", "Key", "v", file));
    ASSERT_TRUE(WritePrivateProfileStringW("MAIN", "Extra", "x y", file));
    ASSERT_TRUE(WritePrivateProfileStringW("main", "LANGUAGE", "2052", file));
    EXPECT_EQ(ReadRaw(file), "[Main]\nLANGUAGE=2052\nExtra=x y\n\n[Other]\nKey=v\n");

    // A hand-edited file keeps its comments, order, spacing and line ends.
    const QString edited = WriteRaw("edited.ini",
                                    "; mine\r\n[Main]\r\n  Language = 1036 ; old\r\nKeep=1\r\n\r\n[Tail]\r\nZ=9");
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "Language", "1031", edited));
    ASSERT_TRUE(WritePrivateProfileStringW("Tail", "New", "n", edited));
    EXPECT_EQ(ReadRaw(edited), "; mine\r\n[Main]\r\nLanguage=1031\r\nKeep=1\r\n\r\n[Tail]\r\nZ=9\r\nNew=n\r\n");
}

TEST_F(IniTest, WritesKeepTheFileEncodingAndRefuseBadInput)
{
    const QString text = QStringLiteral("[Main]\r\nLanguage=1036\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    for (QChar c : text) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
        utf16.append(static_cast<char>(c.unicode() >> 8));
    }
    const QString f16 = WriteRaw("u16.ini", utf16);
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "Name", QString::fromUtf8("Müller"), f16));
    EXPECT_TRUE(ReadRaw(f16).startsWith("\xFF\xFE"));
    EXPECT_EQ(Int(f16, "Main", "Language"), 1036u);
    EXPECT_EQ(Get(f16, "Main", "Name"), QString::fromUtf8("Müller"));

    const QString f8 = WriteRaw("bom.ini", "\xEF\xBB\xBF[Main]\nA=1\n");
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "A", "2", f8));
    EXPECT_EQ(ReadRaw(f8), "\xEF\xBB\xBF[Main]\nA=2\n");

    // Input that would change the file's structure is refused, the file kept.
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "A", "2\n[Evil]\nB=1", f8));
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "A=B", "2", f8));
    EXPECT_FALSE(WritePrivateProfileStringW("Ma]in", "A", "2", f8));
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "  ", "2", f8));
    EXPECT_EQ(ReadRaw(f8), "\xEF\xBB\xBF[Main]\nA=2\n");

    EXPECT_FALSE(WritePrivateProfileStringW("Main", "A", "1", Path("no/such/folder/x.ini")));
    EXPECT_FALSE(QFile::exists(Path("no")));
}

TEST_F(IniTest, WritesKeepEveryOtherByteAndNeverCutTheFile)
{
    // A Latin-1 line and an odd last byte of a UTF-16 file are not the
    // writer's to re-encode or drop.
    const QString latin = WriteRaw("latin.ini", "[Main]\r\nName=J\xFCrgen\r\nLanguage=1036");
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "Language", "1031", latin));
    ASSERT_TRUE(WritePrivateProfileStringW("Main", "Extra", "1", latin));
    EXPECT_EQ(ReadRaw(latin), "[Main]\r\nName=J\xFCrgen\r\nLanguage=1031\r\nExtra=1\r\n");
    const QByteArray odd("\xFF\xFE[\0M\0]\0\n\0A\0=\0" "1\0\n\0\x41", 19);
    const QString u16 = WriteRaw("odd.ini", odd);
    ASSERT_TRUE(WritePrivateProfileStringW("M", "A", "2", u16));
    EXPECT_EQ(ReadRaw(u16), QByteArray("\xFF\xFE[\0M\0]\0\n\0A\0=\0" "2\0\n\0\x41", 19));

    // The same value again writes nothing: the file is not even replaced.
    struct stat before {}, after {};
    ASSERT_EQ(stat(QFile::encodeName(latin).constData(), &before), 0);
    ASSERT_TRUE(WritePrivateProfileStringW("main", "language", "1031", latin));
    ASSERT_EQ(stat(QFile::encodeName(latin).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // A write that fails part way (a full disk; a file-size limit here, which
    // stops root too) keeps the old file whole and leaves nothing behind.
    const QByteArray kept = ReadRaw(latin);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const BOOL bWritten = WritePrivateProfileStringW("Main", "Language", "2052", latin);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(bWritten);
    EXPECT_EQ(ReadRaw(latin), kept);
    EXPECT_EQ(QDir(dir.path()).entryList({"latin*"}, QDir::Files | QDir::Hidden), QStringList{"latin.ini"});
}

TEST_F(IniTest, SpecialFilesReadAsMissingWithoutBlocking)
{
    // A FIFO with no writer would block a plain open for ever.
    const QString fifo = Path("fifo.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Get(fifo, "Main", "Language"), "dflt");
    EXPECT_FALSE(WritePrivateProfileStringW("Main", "Language", "1031", fifo));
    QByteArray data;
    EXPECT_EQ(ReadRegularFile(fifo, data, 100), FileRead::Missing);
    EXPECT_EQ(ReadRegularFile("/dev/zero", data, 100), FileRead::Missing);
    EXPECT_FALSE(bAppendToFile(fifo, "line\n"));
    CBitmap32 bitmap;
    EXPECT_NE(CPngImage::Decode(fifo, 0, 0, bitmap), PngResult::Ok);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(IniTest, SavesNeverWriteThroughALinkOrOverASpecialFile)
{
    // Links to a FIFO, a device and a file elsewhere, and a FIFO itself: each
    // save fails and leaves the name and what it names as they were.
    const QString fifo = Path("target.fifo"), elsewhere = Path("elsewhere.txt"), link = Path("link");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(bReplaceFile(elsewhere, "kept") && bReplaceFile(Path("fresh"), "one") && bReplaceFile(Path("fresh"), "two"));
    for (const QString& target : {fifo, QStringLiteral("/dev/null"), elsewhere}) {
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        EXPECT_FALSE(bReplaceFile(link, "new") || bAppendToFile(link, "line\n")
                     || WritePrivateProfileStringW("Main", "Language", "1031", link)) << target.toStdString();
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    }
    EXPECT_FALSE(bReplaceFile(fifo, "new"));
    EXPECT_EQ(ReadRaw(elsewhere), "kept");
    EXPECT_EQ(ReadRaw(Path("fresh")), "two");
    EXPECT_TRUE(QFileInfo("/dev/null").exists() && !QFileInfo("/dev/null").isFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 4) << "no temporary file left";
}

TEST_F(IniTest, ReadsFromMemory)
{
    const QByteArray data = "[Lumicue]\r\nVersion=V1.2.0\r\nEmpty=\r\n";
    QString value;
    EXPECT_EQ(GetProfileStringFromData(data, "lumicue", "VERSION", "", value, 1024), 6u);
    EXPECT_EQ(value, "V1.2.0");
    GetProfileStringFromData(data, "Lumicue", "Empty", "none", value, 1024);
    EXPECT_EQ(value, "none");
    EXPECT_EQ(GetProfileIntFromData(data, "Lumicue", "Version", 5), 0u);
    EXPECT_EQ(GetProfileIntFromData(data, "Lumicue", "Absent", 5), 5u);
}

// A byte-order mark in the middle of a file (found by fuzzing): the value the
// editor writes is the value the reader then finds.
TEST(IniData, WhatIsWrittenIsReadBackWithAByteOrderMarkInside)
{
    QByteArray data("[x\n\xEF\xBB\xBF[Main]\r\nLe=0\r\n[Main]\r\n");
    bSetProfileStringInData(data, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("1031"));
    QString value;
    GetProfileStringFromData(data, QStringLiteral("Main"), QStringLiteral("Language"), QString(), value, 1024);
    EXPECT_EQ(value, QStringLiteral("1031"));
}

} // namespace
