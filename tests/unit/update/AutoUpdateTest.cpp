// The update check: what each description leads to, the values it keeps,
// a whole check through the test server, and a stop that does not wait.
#include "update/AutoUpdate.h"

#include "HostileServer.h"
#include "platform/ui/Wnd.h"

#include <QCoreApplication>

#include <chrono>

namespace {

class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override
    {
        messages.push_back(message);
        return 0;
    }
    std::vector<UINT> messages;
};

struct Outcome {
    std::vector<UINT> messages;
    QString strNewVerFile, strNewInfo, strInfoID;
};

Outcome Evaluate(const QByteArray& ini)
{
    CRecordingWnd wnd;
    CAutoUpdate update;
    update.hNotifyWnd = &wnd;
    update.strSection = "Lumicue";
    update.strCurVersion = "V1.0.0";
    update.vEvaluate(ini);
    QCoreApplication::sendPostedEvents();
    return {wnd.messages, update.strNewVerFile, update.strNewInfo, update.strInfoID};
}

const QByteArray kInfo = "[Info]\nValid=tRUE\nInfoID=42\nNewVerFile=https://x.example/info\nNewInfo=Read this\n";

} // namespace

TEST(AutoUpdate, TheDescriptionDecidesWhichNoticeIsPosted)
{
    EXPECT_TRUE(Evaluate("[lumicue]\nversion=v1.0.0\n").messages.empty()) << "case is ignored";

    const Outcome newer = Evaluate("[Lumicue]\nVersion=V0.9.0\nNewVerFile=https://x.example/new\nNewInfo=Hi\n" + kInfo);
    EXPECT_EQ(newer.messages, std::vector<UINT>{WM_UPDATE_NEWVERSION}) << "a version notice excludes the other";
    EXPECT_EQ(newer.strNewVerFile, "https://x.example/new");
    EXPECT_EQ(newer.strNewInfo, "Hi");
    EXPECT_EQ(newer.strInfoID, "");

    const Outcome bare = Evaluate("[Lumicue]\nVersion=V2.0.0\nNewVerFile=\n");
    EXPECT_EQ(bare.messages, std::vector<UINT>{WM_UPDATE_NEWVERSION});
    EXPECT_EQ(bare.strNewVerFile, "") << "an empty value is absent";

    const Outcome quiet = Evaluate("[Lumicue]\nVersion=V2.0.0\nNotify=FALSE\n" + kInfo);
    EXPECT_EQ(quiet.messages, std::vector<UINT>{WM_UPDATE_INFO});
    EXPECT_EQ(quiet.strInfoID, "42");
    EXPECT_EQ(quiet.strNewVerFile, "https://x.example/info");

    EXPECT_EQ(Evaluate(kInfo).messages, std::vector<UINT>{WM_UPDATE_INFO});
    EXPECT_TRUE(Evaluate("[Info]\nValid=yes\nInfoID=1\n").messages.empty());
    EXPECT_TRUE(Evaluate("\x01\x02 not an ini at all").messages.empty());
}

TEST(AutoUpdate, LongValuesAreCutNeverOverrun)
{
    const QByteArray file(5000, 'f');
    const QByteArray info(5000, 'i');
    const Outcome o = Evaluate("[Lumicue]\nVersion=V3\nNewVerFile=" + file + "\nNewInfo=" + info + "\n");
    EXPECT_EQ(o.strNewVerFile.size(), 259);
    EXPECT_EQ(o.strNewInfo.size(), 2047);

    // Two megabytes on one line: read and cut in well under a second.
    const auto t0 = std::chrono::steady_clock::now();
    const Outcome big = Evaluate("[Lumicue]\nVersion=" + QByteArray(2000000, 'v') + "\n");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
    EXPECT_EQ(big.messages, std::vector<UINT>{WM_UPDATE_NEWVERSION});
}

TEST(AutoUpdate, AWholeCheckThroughTheServerAndAFailedOne)
{
    CHostileServer server;
    ASSERT_TRUE(server.bStart());
    QFile ini(server.FilesDir() + "/update.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Lumicue]\r\nVersion=V1.1.0\r\nNewVerFile=https://x.example/v11\r\n");
    ini.close();

    CRecordingWnd wnd;
    CAutoUpdate update;
    update.hNotifyWnd = &wnd;
    update.strInfoID = "old";
    EXPECT_TRUE(update.StartCheck(FALSE, "Lumicue", server.Url("/files/update.ini"), "V1.0.0"));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(wnd.messages, std::vector<UINT>{WM_UPDATE_NEWVERSION});
    EXPECT_EQ(update.strNewVerFile, "https://x.example/v11");
    EXPECT_EQ(update.strRemoteVersion, "V1.1.0");

    CAutoUpdate failing;
    failing.inet.nSecondMs = 10;
    failing.hNotifyWnd = &wnd;
    failing.strNewVerFile = "kept";
    failing.strInfoID = "emptied";
    EXPECT_FALSE(failing.StartCheck(FALSE, "Lumicue", server.Url("/status?code=500"), "V1.0.0"));
    EXPECT_EQ(failing.strNewVerFile, "kept");
    EXPECT_EQ(failing.strInfoID, "");
}

TEST(AutoUpdate, StopEndsARunningCheckWithinATenthOfASecond)
{
    CHostileServer server;
    ASSERT_TRUE(server.bStart());
    CRecordingWnd wnd;
    CAutoUpdate update;
    update.hNotifyWnd = &wnd;
    EXPECT_FALSE(update.StartCheck(TRUE, "Lumicue", server.Url("/silent"), "V1.0.0"));
    ASSERT_TRUE(server.bWaitForRequest(5000));
    const auto t0 = std::chrono::steady_clock::now();
    update.vStop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(wnd.messages.empty());
}
