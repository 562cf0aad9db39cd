// The HTTP client of the update check: fetches a URL's whole body into memory
// with retries, hand-made redirects and a size limit, one libcurl request per
// attempt, and keeps the last error as a code and a text.
#pragma once

#include "platform/base/Win32.h"

#include <QByteArray>
#include <QString>
#include <atomic>

// Results of an attempt and of Download.
constexpr int INET_OK = 0;
constexpr int INET_BAD_URL = 2;
constexpr int INET_RESET = 4;
constexpr int INET_REDIRECTED = 5;
constexpr int INET_FAILED = 6;
constexpr int INET_RETRY = 8;
constexpr int INET_AUTH_REQUIRED = 9;
constexpr int INET_TOO_LARGE = 10;
constexpr int INET_HTTP_STATUS = 11;

// Error codes kept in nLastError for failures of the transfer itself (the
// numbers the Windows internet API uses, so logs read the same).
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_SECURE_FAILURE = 12175;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;

// A URL split the way the client needs it.
struct InetUrlParts {
    QString strScheme;  // lower case: "http", "https", "ftp", ...
    QString strServer;  // host name, IPv6 addresses in brackets
    int nPort = 0;      // the URL's port, or the scheme's default
    BOOL bPortGiven = FALSE;
    QString strObject;  // path and query, "/" at least
};

class CInet {
public:
    CInet();
    virtual ~CInet();
    CInet(const CInet&) = delete;
    CInet& operator=(const CInet&) = delete;

    // Opens the root handle; 0 on success, 1 on failure (error recorded).
    int OpenInternet(BOOL bOffline);
    // Fetches url into bytes (emptied first); a redirect may replace url.
    int Download(QString& url, QByteArray& bytes, DWORD& size, BOOL bFollowRedirects);
    // From any thread: ends the transfer or pause in progress at once and
    // makes every later one fail. Not undone.
    void vAbort();

    void CloseRequest();
    void CloseAll();

    // Whether the URL starts with a scheme the client knows (case-blind).
    static BOOL HasKnownScheme(const QString& url);
    // Splits scheme://[user[:password]@]server[:port]/object; FALSE when the
    // URL has no known scheme, no server or a bad port.
    static BOOL bSplitUrl(const QString& url, InetUrlParts& parts);

    // The root handle (a libcurl multi handle) and the request of one attempt.
    void* hInternet = nullptr;
    void* hRequest = nullptr;
    int nHttpStatus = 0;
    QString strErrorText;
    DWORD nLastError = 0;
    BOOL bRetryForever = FALSE;
    int nRetries = 3;
    int nMaxKB = 2048;
    QString strProxyUser;
    QString strProxyPassword;
    int nConnectTimeout = 90;  // seconds
    int nReceiveTimeout = 90;  // seconds, without any byte arriving
    int nRetryDelay = 5;       // seconds before the attempt after a 404, 408 or 504
    // Milliseconds in one second of the settings above and of the fixed
    // pauses (a 404's half second): tests shorten every wait at once.
    int nSecondMs = 1000;

private:
    struct Transfer;

    int HttpGet(QString& url, QByteArray& bytes, DWORD& size, BOOL bLenient);
    int UrlGet(const QString& url, QByteArray& bytes, DWORD& size);
    // Runs the prepared request on the root handle until it ends, times out
    // or is aborted; answers FALSE for the last two (error recorded).
    BOOL bPerform(Transfer& t);
    // Creates the request of one attempt; FALSE when it could not be (error recorded).
    BOOL bPrepare(Transfer& t, const QString& url);
    int RedirectResult(QString& url, const InetUrlParts& from, Transfer& t);
    void RecordLastError(int nCurlCode, const char* szCurlText);
    int nFailTransfer(const Transfer& t, QByteArray& bytes, int nResult);
    // Ends the request without a body and answers nResult.
    int nDropTransfer(QByteArray& bytes, int nResult);
    // Performs the prepared request; INET_OK when it ran to its end within
    // the size limit, else the result to answer (body dropped).
    int nRunTransfer(Transfer& t, QByteArray& bytes);
    // Takes the finished body's size and closes the request; INET_OK, or
    // INET_FAILED when the transfer broke off (error recorded).
    int nTakeBody(const Transfer& t, QByteArray& bytes, DWORD& size);
    void vSetError(DWORD nCode, const QString& text);
    // Waits ms milliseconds unless aborted first; FALSE when aborted.
    BOOL bPause(int ms);
    qint64 nLimitBytes() const { return static_cast<qint64>(nMaxKB) * 1000; }

    BOOL bOffline = FALSE;
    std::atomic<bool> bAborted{false};
    int nWakeFd = -1;  // an eventfd that vAbort signals
};
