// The option file: exact bytes, damaged files, atomic save.
#include "settings/LumicueOption.h"

#include "platform/base/VirtualKeys.h"
#include "platform/ui/MessageBox.h"

#include "platform/storage/Archive.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray Int(std::uint32_t v)
{
    return QByteArray(1, char(v)) + char(v >> 8) + char(v >> 16) + char(v >> 24);
}

QByteArray Hotkey(int virtKey, int ctrl = 0, int shift = 0)
{
    // bValid, bAlt, bCtrl, bShift, nVirtKey, bWin, bExtended
    return Int(1) + Int(0) + Int(ctrl) + Int(shift) + Int(virtKey) + Int(0) + Int(0);
}

QByteArray Store(CLumicueOption& option)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    option.Serialize(ar);
    return buffer.data();
}

void Load(CLumicueOption& option, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    option.Serialize(ar);
}

bool IsDefault(const CLumicueOption& o)
{
    return o.bValid == 1 && o.bAutoCheckUpdate == 0 && o.nOpacity == 75 && o.strPointerFile.isEmpty()
        && o.hotKey.bValid == 1 && o.hotKey.bCtrl == 0 && o.hotKey.bShift == 0 && o.hotKey.bAlt == 0
        && o.hotKey.bWin == 0 && o.hotKey.nVirtKey == static_cast<int>(VK_F8) && o.hotKey.bExtended == 0;
}

// A record with every field away from its default.
QByteArray Sample()
{
    CLumicueOption o;
    o.bAutoCheckUpdate = 1;
    o.nOpacity = 40;
    o.strPointerFile = QStringLiteral("/usr/lib/lumicue/pointer/arrow-3.png");
    o.hotKey.vSet(1, 1, 0, 1, 'P', 1, 1);
    return Store(o);
}

int g_boxes = 0;
QString g_boxText;
UINT g_boxType = 0;
int RecordBox(CWnd*, const QString& text, const QString&, UINT type)
{
    ++g_boxes;
    g_boxText = text;
    g_boxType = type;
    return IDOK;
}

class OptionSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        g_boxes = 0;
        SetMessageBoxHook(RecordBox);
    }
    void TearDown() override { SetMessageBoxHook(nullptr); }
    QTemporaryDir dir;
};

} // namespace

TEST(OptionFileTest, DefaultRecordIs44Bytes)
{
    CLumicueOption o;
    const QByteArray expected = Int(1) + Int(0) + Int(75) + QByteArray("\xFF\xFE\xFF\x00", 4) + Hotkey(VK_F8);
    EXPECT_EQ(expected.size(), 44);
    EXPECT_EQ(Store(o), expected);
}

TEST(OptionFileTest, FirstIntegerZeroIsReadAndWrittenBackAsOne)
{
    CLumicueOption o;
    Load(o, Int(0) + Int(1) + Int(500) + QByteArray("\xFF\xFE\xFF\x01" "a\0", 6) + Hotkey('K', 1, 1));
    EXPECT_EQ(o.bValid, 1);
    EXPECT_EQ(o.bAutoCheckUpdate, 1);
    EXPECT_EQ(o.nOpacity, 500); // taken as it stands, no clamping
    EXPECT_EQ(o.strPointerFile, "a");
    EXPECT_EQ(o.hotKey.nVirtKey, 'K');
    EXPECT_EQ(o.hotKey.bCtrl, 1);
    EXPECT_EQ(Store(o).left(4), Int(1));
}

TEST(OptionFileTest, PathLengthForms)
{
    CLumicueOption o;
    o.strPointerFile = QString(254, QLatin1Char('p'));
    QByteArray bytes = Store(o);
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("\xFF\xFE\xFF\xFE", 4));
    EXPECT_EQ(bytes.size(), 44 + 2 * 254);

    o.strPointerFile = QString(255, QChar(0x4E2D));
    bytes = Store(o);
    EXPECT_EQ(bytes.mid(12, 6), QByteArray("\xFF\xFE\xFF\xFF\xFF\x00", 6));
    EXPECT_EQ(bytes.size(), 44 + 2 + 2 * 255);

    CLumicueOption back;
    Load(back, bytes);
    EXPECT_EQ(back.strPointerFile, o.strPointerFile);
}

TEST(OptionFileTest, NarrowPathLoadsAndIsWrittenBackWide)
{
    CLumicueOption o;
    Load(o, Int(1) + Int(0) + Int(60) + QByteArray("\x0B/tmp/gr\xC3\xBC\xC3\x9F") + Hotkey(VK_F8));
    EXPECT_EQ(o.strPointerFile, QStringLiteral("/tmp/grüß"));
    const QByteArray wide = Store(o);
    EXPECT_EQ(wide.mid(12, 4), QByteArray("\xFF\xFE\xFF\x09", 4));

    // Not UTF-8: taken as Latin-1.
    Load(o, Int(1) + Int(0) + Int(60) + QByteArray("\x04" "caf\xE9") + Hotkey(VK_F8));
    EXPECT_EQ(o.strPointerFile, QStringLiteral("café"));
}

TEST(OptionFileTest, FileCutAnywhereLoadsAsDefaults)
{
    const QByteArray full = Sample();
    for (int cut = 0; cut < full.size(); ++cut) {
        CLumicueOption o;
        o.nOpacity = 12;
        Load(o, full.left(cut));
        EXPECT_TRUE(IsDefault(o)) << "cut at " << cut;
    }
    CLumicueOption o;
    Load(o, full);
    EXPECT_EQ(o.nOpacity, 40);
    EXPECT_EQ(o.hotKey.nVirtKey, 'P');
    EXPECT_EQ(o.hotKey.bExtended, 1);
    EXPECT_EQ(Store(o), full);
}

TEST(OptionFileTest, RandomDamageNeverCrashesOrHangs)
{
    // Deterministic mutations of a few valid records; each load either
    // gives a record or all defaults, and always ends.
    const QByteArray corpus[] = {Sample(), Store(*std::make_unique<CLumicueOption>()),
                                 Int(1) + Int(0) + Int(3) + QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF") + Hotkey(1)};
    std::mt19937 rng(20240307);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = corpus[round % 3];
        const int edits = 1 + int(rng() % 8);
        for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
            const int at = int(rng() % bytes.size());
            switch (rng() % 4) {
            case 0: bytes[at] = char(rng()); break;
            case 1: bytes[at] = char(0xFF); break;
            case 2: bytes.insert(at, char(rng())); break;
            default: bytes.remove(at, 1 + int(rng() % 4)); break;
            }
        }
        CLumicueOption o;
        Load(o, bytes);
        EXPECT_EQ(o.bValid, 1);
        EXPECT_LE(o.strPointerFile.size(), bytes.size());
    }
}

TEST(OptionFileTest, HotkeyRecordsOfOlderSchemas)
{
    CHotKey key;
    key.bWin = 1;
    key.bExtended = 1;
    QBuffer buffer;
    buffer.setData(Int(1) + Int(1) + Int(0) + Int(0) + Int('Q') + Int(7) + Int(7));
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    ar.SetObjectSchema(1);
    key.Serialize(ar);
    EXPECT_EQ(key.bAlt, 1);
    EXPECT_EQ(key.nVirtKey, 'Q');
    EXPECT_EQ(key.bWin, 0);
    EXPECT_EQ(key.bExtended, 0);
    EXPECT_EQ(buffer.pos(), 20);

    // Taking the schema reset it: the next record is read whole.
    buffer.seek(0);
    ar.SetObjectSchema(2);
    key.Serialize(ar);
    EXPECT_EQ(key.bWin, 7);
    EXPECT_EQ(key.bExtended, 0);
    EXPECT_EQ(ar.GetObjectSchema(), 0xFFFFFFFFu);
}

TEST(OptionFileTest, StoredHotkeyComesBackAndKeepsRegistration)
{
    CLumicueOption o;
    o.hotKey.vSet(1, 0, 1, 1, 0x2D, 1, 1);
    o.hotKey.bRegistered = 0;
    CLumicueOption back;
    Load(back, Store(o));
    EXPECT_EQ(back.hotKey.bCtrl, 1);
    EXPECT_EQ(back.hotKey.bShift, 0);
    EXPECT_EQ(back.hotKey.bAlt, 1);
    EXPECT_EQ(back.hotKey.bWin, 1);
    EXPECT_EQ(back.hotKey.nVirtKey, 0x2D);
    EXPECT_EQ(back.hotKey.bExtended, 1);
    EXPECT_EQ(back.hotKey.bRegistered, 1);
    EXPECT_EQ(o.hotKey.bRegistered, 0);
}

TEST_F(OptionSaveTest, SaveThenLoadInAFolder)
{
    CLumicueOption o;
    o.nOpacity = 33;
    o.vSave(dir.path());
    CLumicueOption back;
    back.vLoad(dir.path());
    EXPECT_EQ(back.nOpacity, 33);
    EXPECT_EQ(g_boxes, 0);
    // Only the record is left in the folder: no temporary file behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"AppOption.data"});
}

TEST_F(OptionSaveTest, MissingOrUnreadableFileGivesDefaults)
{
    CLumicueOption o;
    o.vLoad(dir.path());
    EXPECT_TRUE(IsDefault(o));
    // A folder in the file's place cannot be read as the record.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("AppOption.data")));
    o.vLoad(dir.path());
    EXPECT_TRUE(IsDefault(o));
    // Nor can a FIFO, which must not block the start either.
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("AppOption.data")));
    ASSERT_EQ(mkfifo(QFile::encodeName(CLumicueOption::GetFilePath(dir.path())).constData(), 0600), 0);
    o.vLoad(dir.path());
    EXPECT_TRUE(IsDefault(o));
}

TEST_F(OptionSaveTest, MissingFolderSavesNothingSilently)
{
    CLumicueOption o;
    o.vSave(dir.path() + QStringLiteral("/none"));
    EXPECT_EQ(g_boxes, 0);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/none")));
}

TEST_F(OptionSaveTest, FailedWriteKeepsTheOldFileAndReportsOnce)
{
    CLumicueOption o;
    o.nOpacity = 20;
    o.strPointerFile = QString(300, QLatin1Char('x'));
    o.vSave(dir.path());
    const QString path = CLumicueOption::GetFilePath(dir.path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray old = file.readAll();
    file.close();

    // A file-size limit below the record's size stands for a full disk; it
    // stops root too, where folder permissions would not.
    o.nOpacity = 90;
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    o.vSave(dir.path());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(g_boxes, 1);
    EXPECT_EQ(g_boxText, "Error Occur!");
    EXPECT_EQ(g_boxType, MB_ICONEXCLAMATION | MB_TOPMOST) << "the box stays above other windows";
    EXPECT_EQ(o.nOpacity, 90);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"AppOption.data"});
}
