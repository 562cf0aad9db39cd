// A language folder beside the test executable, a private config folder and
// the locale variables, all restored after each test.
#pragma once

#include "lang/Language.h"

#include "SavedEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class LanguageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "C", 1);
        vResetLanguage();
        // Language files are looked for beside the executable only.
        langDir = std::make_unique<QTemporaryDir>(GetLangAppDir() + QStringLiteral("langtest-XXXXXX"));
        ASSERT_TRUE(langDir->isValid());
        folder = QFileInfo(langDir->path()).fileName();
        ASSERT_TRUE(configDir.isValid());
    }

    void TearDown() override
    {
        vResetLanguage();
    }

    QString AddFile(const QString& name, const QByteArray& content) const
    {
        const QString path = langDir->filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    QString ConfigPath() const { return configDir.filePath(QStringLiteral("Config.ini")); }

    void WriteConfig(const QByteArray& content) const
    {
        QFile f(ConfigPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QByteArray ReadConfig() const
    {
        QFile f(ConfigPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    UINT Init()
    {
        const QString config = configDir.path();
        return InitLanguage(&folder, nullptr, &config);
    }

    CSavedEnv env{{"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}, true};
    std::unique_ptr<QTemporaryDir> langDir;
    QTemporaryDir configDir;
    QString folder;
};
