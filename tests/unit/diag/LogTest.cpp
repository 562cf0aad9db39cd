// Log entries, dated files, mask rules and the exception-report helper.
#include "diag/ExceptionReport.h"
#include "diag/FAppAssist.h"
#include "diag/LogClock.h"
#include "diag/LogEntry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class CTestAssist : public CFAppAssist {
public:
    QString GetLogName() override { return QStringLiteral("Lumicue"); }
    BOOL bLoadLogSettings() override
    {
        nLogMask = 0xFFFFFFFFu;
        bLogEnabled = TRUE;
        return TRUE;
    }
};

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        assist.strBaseFolder = dir.path();
        vSetLogClock([this] { return now; });
    }
    void TearDown() override { vSetLogClock({}); }

    QString LogFile(const char* date) const
    {
        return dir.path() + QStringLiteral("/Log/Lumicue_") + QLatin1String(date) + QStringLiteral(".log");
    }

    QTemporaryDir dir;
    CTestAssist assist;
    QDateTime now{QDate(2024, 3, 7), QTime(9, 5, 3)};
};

} // namespace

TEST(LogEntryTest, TagIsChosenByExactValue)
{
    EXPECT_EQ(LogTypeTag(LOG_EXCEPTION), "[Exception]");
    EXPECT_EQ(LogTypeTag(LOG_OTHER_ERROR), "[Other Error]");
    EXPECT_EQ(LogTypeTag(3), "[Other");
    EXPECT_EQ(LogTypeTag(0), "[Other");
}

TEST(LogEntryTest, PartsInOrderAndEmptyTextAddsNothing)
{
    const QString value = QStringLiteral("x");
    const QString empty;
    const QString op = QStringLiteral("bInitialize");
    EXPECT_EQ(BuildLogEntry(LOG_EXCEPTION, &value, &empty, &op, nullptr, -1, nullptr), "[Exception]::bInitialize=x");
    EXPECT_EQ(BuildLogEntry(LOG_EXCEPTION, &value, nullptr, &op, nullptr, -1, nullptr), "[Exception]::bInitialize=x");

    const QString file = QStringLiteral("a.cpp");
    const QString t1 = QStringLiteral("C");
    const QString t3 = QStringLiteral("more");
    EXPECT_EQ(BuildLogEntry(LOG_FATAL, &value, &t1, &op, &file, 12, &t3),
              "FileName: a.cpp Line: 12\n[Fatal]C::bInitialize::more=x");
    EXPECT_EQ(BuildLogEntry(LOG_PROMPT, nullptr, nullptr, nullptr, &file, -1, nullptr), "FileName: a.cpp\n[Prompt]");
}

TEST(LogEntryTest, LongPartsAreCutButTheValueIsWhole)
{
    const QString value(300, QLatin1Char('v'));
    const QString text1(2000, QLatin1Char('t'));
    const QString entry = BuildLogEntry(LOG_EXCEPTION, &value, &text1, nullptr, nullptr, -1, nullptr);
    EXPECT_EQ(entry.size(), value.size() + 511);
    EXPECT_TRUE(entry.endsWith(QLatin1Char('=') + value));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Exception]ttt")));

    const QString noValue = BuildLogEntry(LOG_EXCEPTION, nullptr, &text1, nullptr, nullptr, -1, nullptr);
    EXPECT_EQ(noValue.size(), 511);
}

TEST(LogEntryTest, FileNameAndStamp)
{
    EXPECT_EQ(LogFilePath(QStringLiteral("/d/Log"), QStringLiteral("Lumicue"), QDate(2024, 3, 7)),
              "/d/Log/Lumicue_2024-03-07.log");
    EXPECT_EQ(LogTimeStamp(QTime(0, 0, 1)), "00:00:01 ");
    EXPECT_EQ(LogTimeStamp(QTime(23, 59, 59)), "23:59:59 ");
}

TEST_F(LogTest, NothingIsWrittenBeforeStartUp)
{
    const QString v = QStringLiteral("early");
    EXPECT_EQ(assist.bWriteLog(LOG_EXCEPTION, &v, nullptr, nullptr, nullptr, -1, nullptr), 1);
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/Log")).exists());
}

TEST_F(LogTest, ConstructionMaskWritesErrorTypesOnly)
{
    assist.bLogEnabled = TRUE;
    const QString prompt = QStringLiteral("prompt");
    const QString fatal = QStringLiteral("fatal");
    EXPECT_EQ(assist.bWriteLog(LOG_PROMPT, &prompt, nullptr, nullptr, nullptr, -1, nullptr), 1);
    EXPECT_EQ(assist.bWriteLog(LOG_FATAL, &fatal, nullptr, nullptr, nullptr, -1, nullptr), TRUE);
    // Two bits, one in the mask: written, under the unterminated tag.
    const QString two = QStringLiteral("two");
    assist.bWriteLog(0x10001, &two, nullptr, nullptr, nullptr, -1, nullptr);
    EXPECT_EQ(ReadFile(LogFile("2024-03-07")), "09:05:03 [Fatal]=fatal\n09:05:03 [Other=two\n");
}

TEST_F(LogTest, LinesAcrossMidnightGoToTwoFiles)
{
    assist.bInitialize();
    const QString a = QStringLiteral("100% done %s %n");
    const QString b = QStringLiteral("after");
    now = QDateTime(QDate(2024, 3, 7), QTime(23, 59, 59));
    assist.bWriteLog(LOG_EXCEPTION, &a, nullptr, nullptr, nullptr, -1, nullptr);
    now = QDateTime(QDate(2024, 3, 8), QTime(0, 0, 1));
    assist.bWriteLog(3, &b, nullptr, nullptr, nullptr, -1, nullptr);
    EXPECT_EQ(ReadFile(LogFile("2024-03-07")), "23:59:59 [Exception]=100% done %s %n\n");
    EXPECT_EQ(ReadFile(LogFile("2024-03-08")), "00:00:01 [Other=after\n");
}

TEST_F(LogTest, LinesAreUtf8AndAppended)
{
    assist.bInitialize();
    const QString a = QStringLiteral("Grüße 中文");
    assist.bAppendLogLine(a);
    assist.bAppendLogLine(a);
    const QByteArray line = "09:05:03 " + a.toUtf8() + "\n";
    EXPECT_EQ(ReadFile(LogFile("2024-03-07")), line + line);
}

TEST_F(LogTest, UnusableLogFolderLosesOnlyTheLine)
{
    assist.bInitialize();
    // A regular file where the data folder should be: no Log folder can be made.
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    assist.strBaseFolder = blocker.fileName();
    EXPECT_FALSE(assist.bAppendLogLine(QStringLiteral("lost")));

    // A folder where today's file should be: it cannot be opened; TRUE all the same.
    assist.strBaseFolder = dir.path();
    ASSERT_TRUE(QDir().mkpath(LogFile("2024-03-07")));
    EXPECT_TRUE(assist.bAppendLogLine(QStringLiteral("lost too")));

    now = QDateTime(QDate(2024, 3, 9), QTime(1, 2, 3));
    EXPECT_TRUE(assist.bAppendLogLine(QStringLiteral("kept")));
    EXPECT_EQ(ReadFile(LogFile("2024-03-09")), "01:02:03 kept\n");
}

TEST_F(LogTest, ReportsBothFormsAndGoesOn)
{
    assist.bInitialize();
    bool after = false;
    testing::internal::CaptureStderr();
    vReportExceptions("CAboutLumicue", "OnInitDialog", [] { throw std::runtime_error("no 100% reason"); });
    vReportExceptions("", "bInitialize", [] { throw 42; });
    vReportExceptions("", "bInit", [&after] { after = true; });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(after);
    EXPECT_EQ(err, "Exception Reason: no 100% reason; At: CAboutLumicue::OnInitDialog\nException At: ::bInitialize\n");
    // Each report ends in a line feed and the writer adds one: an empty line follows.
    EXPECT_EQ(ReadFile(LogFile("2024-03-07")),
              "09:05:03 [Exception]=Exception Reason: no 100% reason; At: CAboutLumicue::OnInitDialog\n\n"
              "09:05:03 [Exception]=Exception At: ::bInitialize\n\n");
}

TEST_F(LogTest, LongReasonIsCutTo259Characters)
{
    assist.bInitialize();
    const std::string reason(1000, 'r');
    testing::internal::CaptureStderr();
    vReportExceptions("C", "op", [&reason] { throw std::runtime_error(reason); });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.size(), 259u);
    EXPECT_EQ(err.substr(0, 24), "Exception Reason: rrrrrr");
}

TEST(ReportTest, WithoutDiagnosticsObjectTheFailureIsSwallowed)
{
    {
        CTestAssist gone;
    }
    // The object that recorded itself is gone, so it is forgotten too.
    ASSERT_EQ(g_pAppAssist, nullptr);
    testing::internal::CaptureStderr();
    vReportExceptions("", "Create", [] { throw std::logic_error("x"); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
