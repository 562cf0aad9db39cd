// A language folder beside the test executable, a private config folder and
// the locale variables, all restored after each test.
#pragma once

#include "lang/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
        for (const char* var : kVars) {
            const char* v = std::getenv(var);
            savedEnv.push_back(v ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(var);
        }
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
        for (size_t i = 0; i < std::size(kVars); ++i) {
            if (savedEnv[i])
                setenv(kVars[i], savedEnv[i]->c_str(), 1);
            else
                unsetenv(kVars[i]);
        }
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

    static constexpr const char* kVars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> savedEnv;
    std::unique_ptr<QTemporaryDir> langDir;
    QTemporaryDir configDir;
    QString folder;
};
