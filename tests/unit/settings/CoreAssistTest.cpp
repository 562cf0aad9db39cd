// Core object start-up: folders, log switched on, options found.
#include "settings/CoreAssist.h"

#include "SavedEnv.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

} // namespace

TEST(CoreAssistTest, DataFolderIsMadeInTheConfigFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray config = (dir.path() + QStringLiteral("/config")).toLocal8Bit();
    CSavedEnv xdg("XDG_CONFIG_HOME", config.constData());
    CCoreAssist core;
    EXPECT_EQ(g_pAppAssist, &core);
    EXPECT_EQ(core.nLogMask, 0xF0000u);
    EXPECT_FALSE(core.bLogEnabled);

    ASSERT_TRUE(core.bInitialize());
    EXPECT_EQ(core.nLogMask, 0xFFFFFFFFu);
    EXPECT_TRUE(core.bLogEnabled);
    EXPECT_EQ(core.strDataDir, QString::fromLocal8Bit(config) + QStringLiteral("/Lumicue"));
    EXPECT_TRUE(QFileInfo(core.strDataDir).isDir());
    EXPECT_TRUE(core.strAppDir.endsWith(QLatin1Char('/')));
    EXPECT_EQ(core.strAppDir, QCoreApplication::applicationDirPath() + QStringLiteral("/"));
    EXPECT_EQ(core.GetLogName(), "Lumicue");

    // The log lies in the data folder.
    const QString v = QStringLiteral("x");
    core.bWriteLog(LOG_EXCEPTION, &v, nullptr, nullptr, nullptr, -1, nullptr);
    EXPECT_TRUE(QFileInfo(core.strDataDir + QStringLiteral("/Log")).isDir());
}

TEST(CoreAssistTest, WithoutConfigFolderTheProgramFolderServes)
{
    CSavedEnv xdg("XDG_CONFIG_HOME", nullptr);
    CSavedEnv home("HOME", nullptr);
    CCoreAssist core;
    const QString appDir = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    // Put a record where the doubled separator will look for it.
    CLumicueOption stored;
    stored.nOpacity = 18;
    stored.vSave(appDir);
    ASSERT_TRUE(QFile::exists(appDir + QStringLiteral("AppOption.data")));

    ASSERT_TRUE(core.bInitialize());
    QFile::remove(appDir + QStringLiteral("AppOption.data"));
    EXPECT_EQ(core.strDataDir, appDir);
    EXPECT_TRUE(CLumicueOption::GetFilePath(core.strDataDir).endsWith(QStringLiteral("//AppOption.data")));
    EXPECT_EQ(core.option.nOpacity, 18);
}

TEST(CoreAssistTest, OneCoreObject)
{
    EXPECT_EQ(GetCoreAssist(), GetCoreAssist());
    EXPECT_TRUE(GetCoreAssist()->bUninitialize());
}
