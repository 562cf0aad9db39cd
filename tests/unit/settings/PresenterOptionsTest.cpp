// The presenter's options in Config.ini: defaults, range and in-place edits.
#include "settings/PresenterOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PresenterOptions, ReadHeldToRangeAndWrittenInPlace)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Config.ini");
    CPresenterOptions options;
    options.vLoad(file);
    EXPECT_EQ(options.nPointerSize, 100);
    EXPECT_TRUE(options.bAnnounceSwitching);
    EXPECT_FALSE(options.bShowClicks);

    const QByteArray before = "; mine\r\n[Main]\r\nLanguage=1031\r\n[options]\r\npointersize = 9000\r\n";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    options.vLoad(file);
    EXPECT_EQ(options.nPointerSize, 400);
    EXPECT_EQ(CPresenterOptions::nNormalSize(3), 25);
    EXPECT_EQ(CPresenterOptions::nNormalSize(203), 205);

    ASSERT_TRUE(options.bSetPointerSize(200));
    ASSERT_TRUE(options.bSetAnnounceSwitching(FALSE));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    EXPECT_TRUE(after.startsWith("; mine\r\n[Main]\r\nLanguage=1031\r\n[options]\r\n")) << after.constData();
    CPresenterOptions again;
    again.vLoad(file);
    EXPECT_EQ(again.nPointerSize, 200);
    EXPECT_FALSE(again.bAnnounceSwitching);
}
