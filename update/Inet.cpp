// The download client: the attempt loop with lenient mode and the generic
// fallback, one HTTP/1.0 GET per attempt with redirects made by hand, and
// the limits that keep a hostile server from stalling or flooding it.
#include "update/Inet.h"

#include "update/FSysAssist.h"

#include <curl/curl.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kKnownSchemes[] = {"http://", "https://", "file://", "ftp://", "gopher://", "mailto:", "news:",
    "telnet:", "wais:", "mk:", "ms-help://"};

const QString kBadUrlText = QStringLiteral("The URL is empty or does not contain a known Internet service type.");
const QString kProxyAuthText = QStringLiteral("Proxy authentication required.");
constexpr qsizetype kCredentialMax = 63;

// The fragment names a place in the answer and is never sent.
QString WithoutFragment(const QString& url)
{
    const qsizetype hash = url.indexOf(QLatin1Char('#'));
    return hash >= 0 ? url.left(hash) : url;
}

void vInitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int DefaultPort(const QString& scheme)
{
    if (scheme == QLatin1String("https"))
        return 443;
    if (scheme == QLatin1String("ftp"))
        return 21;
    if (scheme == QLatin1String("gopher"))
        return 70;
    return 80;
}

bool bIsRedirect(long n) { return n == 301 || n == 302 || n == 303; }
bool bIsRetry(long n) { return n == 404 || n == 408 || n == 504; }
bool bIsAuth(long n) { return n == 401 || n == 407; }

DWORD InetErrorOf(CURLcode rc)
{
    switch (rc) {
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return ERROR_INTERNET_SECURE_FAILURE;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    default:
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

} // namespace

// What one request collects while libcurl runs it.
struct CInet::Transfer {
    CInet* pOwner = nullptr;
    CURL* easy = nullptr;
    QByteArray* pBody = nullptr;
    BOOL bLenient = FALSE;
    BOOL bGeneric = FALSE;        // UrlGet: libcurl follows, 4xx/5xx fail
    long nStatus = 0;             // of the final (non-1xx) header block
    qint64 nDeclared = -1;
    QByteArray location;
    bool bHeadersDone = false;
    bool bStopAtHeaders = false;  // the status told all; no body wanted
    bool bTooLarge = false;
    bool bConnected = false;
    Clock::time_point tLastActivity = Clock::now();
    CURLcode rc = CURLE_OK;
    char szError[CURL_ERROR_SIZE] = {};

    static size_t OnHeader(char* data, size_t, size_t n, void* self);
    static size_t OnBody(char* data, size_t, size_t n, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int OnConnected(void* self, char*, char*, int, int);

    // At the end of a header block: whether the transfer goes on to the body.
    bool bWantBody()
    {
        if (!bGeneric && (bIsRedirect(nStatus) || bIsRetry(nStatus) || bIsAuth(nStatus) || (nStatus != 200 && !bLenient))) {
            bStopAtHeaders = true;
            return false;
        }
        // A declared length over the limit is refused before any body byte.
        if (nDeclared > pOwner->nLimitBytes()) {
            bTooLarge = true;
            return false;
        }
        return true;
    }
};

size_t CInet::Transfer::OnHeader(char* data, size_t, size_t n, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    t->tLastActivity = Clock::now();
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> words = line.split(' ');
        t->nStatus = words.size() > 1 ? words[1].toLong() : 0;
        t->nDeclared = -1;
        t->location.clear();
        return n;
    }
    if (line.isEmpty()) {
        if (t->nStatus >= 100 && t->nStatus < 200)
            return n;  // an interim answer; the real one follows
        // With libcurl following (generic mode), a redirect's block is not the last.
        if (t->bGeneric && t->nStatus >= 300 && t->nStatus < 400)
            return n;
        t->bHeadersDone = true;
        return t->bWantBody() ? n : 0;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return n;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "location") {
        t->location = value;
    } else if (name == "content-length") {
        bool ok = false;
        const qint64 len = value.toLongLong(&ok);
        t->nDeclared = ok && len >= 0 ? len : -1;
    }
    return n;
}

size_t CInet::Transfer::OnBody(char* data, size_t, size_t n, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    t->tLastActivity = Clock::now();
    if (t->pBody->size() + static_cast<qint64>(n) > t->pOwner->nLimitBytes()) {
        t->bTooLarge = true;
        return 0;
    }
    t->pBody->append(data, static_cast<qsizetype>(n));
    return n;
}

int CInet::Transfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(self)->pOwner->bAborted.load() ? 1 : 0;
}

int CInet::Transfer::OnConnected(void* self, char*, char*, int, int)
{
    auto* t = static_cast<Transfer*>(self);
    t->bConnected = true;
    t->tLastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

CInet::CInet()
{
    vInitCurlOnce();
    nWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CInet::~CInet()
{
    CloseAll();
    if (nWakeFd >= 0)
        close(nWakeFd);
}

void CInet::vAbort()
{
    bAborted.store(true);
    const uint64_t one = 1;
    if (nWakeFd >= 0)
        [[maybe_unused]] ssize_t ignored = write(nWakeFd, &one, sizeof one);
}

BOOL CInet::bPause(int ms)
{
    if (bAborted.load())
        return FALSE;
    pollfd pfd{nWakeFd, POLLIN, 0};
    const auto tEnd = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(tEnd - Clock::now()).count();
        if (left <= 0 || bAborted.load())
            break;
        poll(&pfd, nWakeFd >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left, INT_MAX)));
    }
    return !bAborted.load();
}

BOOL CInet::HasKnownScheme(const QString& url)
{
    for (const char* scheme : kKnownSchemes)
        if (url.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return TRUE;
    return FALSE;
}

BOOL CInet::bSplitUrl(const QString& url, InetUrlParts& parts)
{
    const qsizetype sep = url.indexOf(QLatin1String("://"));
    if (!HasKnownScheme(url) || sep <= 0)
        return FALSE;
    parts = {};
    parts.strScheme = url.left(sep).toLower();
    const QString rest = url.mid(sep + 3);
    qsizetype end = rest.size();
    for (QChar c : {QChar('/'), QChar('?')}) {
        const qsizetype at = rest.indexOf(c);
        if (at >= 0)
            end = std::min(end, at);
    }
    QString authority = rest.left(end);
    parts.strObject = rest.mid(end);
    if (!parts.strObject.startsWith(QLatin1Char('/')))
        parts.strObject.prepend(QLatin1Char('/'));
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        authority = authority.mid(at + 1);  // credentials in the URL are never sent
    qsizetype portSep = authority.lastIndexOf(QLatin1Char(':'));
    if (portSep >= 0 && authority.indexOf(QLatin1Char(']'), portSep) >= 0)
        portSep = -1;  // the colon belongs to an IPv6 address
    parts.strServer = portSep >= 0 ? authority.left(portSep) : authority;
    parts.nPort = DefaultPort(parts.strScheme);
    if (portSep >= 0) {
        bool ok = false;
        const int port = authority.mid(portSep + 1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            return FALSE;
        parts.nPort = port;
        parts.bPortGiven = TRUE;
    }
    for (QChar c : parts.strServer)
        if (c.isSpace() || c.unicode() < 0x21)
            return FALSE;
    return !parts.strServer.isEmpty();
}

int CInet::OpenInternet(BOOL offline)
{
    bOffline = offline;
    if (hInternet)
        return 0;
    hInternet = curl_multi_init();
    if (!hInternet) {
        vSetError(ERROR_INTERNET_INTERNAL_ERROR, QStringLiteral("The internet handle could not be opened."));
        return 1;
    }
    return 0;
}

void CInet::CloseRequest()
{
    if (hRequest) {
        curl_easy_cleanup(static_cast<CURL*>(hRequest));
        hRequest = nullptr;
    }
}

void CInet::CloseAll()
{
    CloseRequest();
    if (hInternet) {
        curl_multi_cleanup(static_cast<CURLM*>(hInternet));
        hInternet = nullptr;
    }
}

void CInet::vSetError(DWORD nCode, const QString& text)
{
    nLastError = nCode;
    strErrorText = text;
}

// A transfer that failed: its error kept, no partial body, the request closed.
int CInet::nFailTransfer(const Transfer& t, QByteArray& bytes, int nResult)
{
    RecordLastError(t.rc, t.szError);
    return nDropTransfer(bytes, nResult);
}

int CInet::nDropTransfer(QByteArray& bytes, int nResult)
{
    bytes.clear();
    CloseRequest();
    return nResult;
}

int CInet::nRunTransfer(Transfer& t, QByteArray& bytes)
{
    if (!bPerform(t))
        return nDropTransfer(bytes, INET_FAILED);
    if (t.bTooLarge) {
        vSetError(0, QStringLiteral("The body is larger than the limit."));
        return nDropTransfer(bytes, INET_TOO_LARGE);
    }
    return INET_OK;
}

// A body cut short, or a transfer that failed midway, is no answer.
int CInet::nTakeBody(const Transfer& t, QByteArray& bytes, DWORD& size)
{
    if (t.rc != CURLE_OK)
        return nFailTransfer(t, bytes, INET_FAILED);
    size = static_cast<DWORD>(bytes.size());
    CloseRequest();
    return INET_OK;
}

void CInet::RecordLastError(int nCurlCode, const char* szCurlText)
{
    long nOsError = 0;
    if (hRequest)
        curl_easy_getinfo(static_cast<CURL*>(hRequest), CURLINFO_OS_ERRNO, &nOsError);
    const auto rc = static_cast<CURLcode>(nCurlCode);
    if (nOsError != 0 && rc == CURLE_COULDNT_CONNECT) {
        errno = static_cast<int>(nOsError);
        strErrorText = CFSysAssist::GetLastErrorText(nLastError);
        return;
    }
    nLastError = InetErrorOf(rc);
    strErrorText = szCurlText && *szCurlText ? QString::fromUtf8(szCurlText)
                                             : QString::fromUtf8(curl_easy_strerror(rc));
}

BOOL CInet::bPrepare(Transfer& t, const QString& url)
{
    CloseRequest();
    CURL* easy = curl_easy_init();
    hRequest = easy;
    t.easy = easy;
    if (!easy) {
        vSetError(ERROR_INTERNET_INTERNAL_ERROR, QStringLiteral("The request could not be created."));
        return FALSE;
    }
    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Offline Browser");
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, t.szError);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(nConnectTimeout) * nSecondMs);
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Transfer::OnConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &t);
    // Certificates are always verified; a trust store named the way
    // OpenSSL-based tools name it replaces the system's.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char* file = std::getenv("SSL_CERT_FILE"); file && *file) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, file);
        curl_easy_setopt(easy, CURLOPT_PROXY_CAINFO, file);
    }
    if (const char* dir = std::getenv("SSL_CERT_DIR"); dir && *dir) {
        curl_easy_setopt(easy, CURLOPT_CAPATH, dir);
        curl_easy_setopt(easy, CURLOPT_PROXY_CAPATH, dir);
    }
    // The proxy comes from the environment variables libcurl reads itself.
    if (!t.bGeneric) {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    }
    return TRUE;
}

BOOL CInet::bPerform(Transfer& t)
{
    auto* multi = static_cast<CURLM*>(hInternet);
    curl_multi_add_handle(multi, t.easy);
    const auto idle = std::chrono::milliseconds(static_cast<long long>(nReceiveTimeout) * nSecondMs);
    t.tLastActivity = Clock::now();
    BOOL bEnded = FALSE;
    for (;;) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == t.easy) {
                t.rc = msg->data.result;
                bEnded = TRUE;
            }
        }
        if (bEnded)
            break;
        if (bAborted.load()) {
            vSetError(ERROR_INTERNET_OPERATION_CANCELLED, QStringLiteral("The operation was cancelled."));
            break;
        }
        // Until connected, libcurl's connect time-out governs; then no more
        // than the receive time-out may pass without a byte.
        int nWaitMs = INT_MAX;
        if (t.bConnected) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                t.tLastActivity + idle - Clock::now()).count();
            if (left <= 0) {
                vSetError(ERROR_INTERNET_TIMEOUT, QStringLiteral("The operation timed out."));
                break;
            }
            nWaitMs = static_cast<int>(std::min<long long>(left, INT_MAX));
        }
        curl_waitfd wake{nWakeFd, CURL_WAIT_POLLIN, 0};
        curl_multi_poll(multi, nWakeFd >= 0 ? &wake : nullptr, nWakeFd >= 0 ? 1 : 0, nWaitMs, nullptr);
    }
    curl_multi_remove_handle(multi, t.easy);
    return bEnded;
}

int CInet::Download(QString& url, QByteArray& bytes, DWORD& size, BOOL bFollowRedirects)
{
    bytes.clear();
    size = 0;
    int nLeft = nRetries;
    BOOL bLenient = FALSE;
    int result = INET_FAILED;
    while ((nLeft > 0 || bRetryForever) && hInternet && !bAborted.load()) {
        if (result == INET_RETRY && !bPause(nRetryDelay * nSecondMs))
            break;
        const BOOL bGeneric = (url.size() > 6 && url.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive))
            || (url.size() >= 10 && url.startsWith(QLatin1String("gopher://"), Qt::CaseInsensitive));
        result = bGeneric ? UrlGet(url, bytes, size) : HttpGet(url, bytes, size, bLenient);
        if (result == INET_RESET) {
            CloseAll();
            OpenInternet(FALSE);
        } else if (result == INET_FAILED) {
            if (bLenient) {
                result = UrlGet(url, bytes, size);
                bLenient = FALSE;
            } else {
                bLenient = TRUE;
            }
        }
        --nLeft;
        if (result == INET_RESET || result == INET_FAILED || result == INET_RETRY)
            continue;
        if (result == INET_REDIRECTED && bFollowRedirects)
            continue;
        return result;
    }
    return result;
}

int CInet::HttpGet(QString& url, QByteArray& bytes, DWORD& size, BOOL bLenient)
{
    bytes.clear();
    nHttpStatus = 0;
    size = 0;
    if (!HasKnownScheme(url))
        url.prepend(QLatin1String("http://"));
    InetUrlParts parts;
    if (!bSplitUrl(WithoutFragment(url), parts)
        || (parts.strScheme != QLatin1String("http") && parts.strScheme != QLatin1String("https"))) {
        vSetError(0, kBadUrlText);
        return INET_BAD_URL;
    }
    if (bOffline) {
        vSetError(ERROR_INTERNET_CANNOT_CONNECT, QStringLiteral("The client is offline."));
        return INET_FAILED;
    }
    const QString target = parts.strScheme + QLatin1String("://") + parts.strServer + QLatin1Char(':')
        + QString::number(parts.nPort) + parts.strObject;

    for (int pass = 0; pass < 2; ++pass) {
        Transfer t;
        t.pOwner = this;
        t.pBody = &bytes;
        t.bLenient = bLenient;
        if (!bPrepare(t, target))
            return INET_BAD_URL;
        if (pass == 1) {
            const QByteArray user = strProxyUser.left(kCredentialMax).toUtf8();
            const QByteArray password = strProxyPassword.left(kCredentialMax).toUtf8();
            curl_easy_setopt(t.easy, CURLOPT_PROXYUSERNAME, user.constData());
            curl_easy_setopt(t.easy, CURLOPT_PROXYPASSWORD, password.constData());
        }
        if (const int run = nRunTransfer(t, bytes); run != INET_OK) {
            if (run == INET_TOO_LARGE)
                nHttpStatus = static_cast<int>(t.nStatus);
            return run;
        }
        if (!t.bHeadersDone) {
            return nFailTransfer(t, bytes, t.rc == CURLE_SEND_ERROR && !bLenient ? INET_RESET : INET_FAILED);
        }
        if (bIsAuth(t.nStatus) && pass == 0) {
            if (strProxyUser.isEmpty()) {
                nHttpStatus = static_cast<int>(t.nStatus);
                vSetError(0, kProxyAuthText);
                CloseRequest();
                return INET_AUTH_REQUIRED;
            }
            CloseRequest();
            continue;
        }
        nHttpStatus = static_cast<int>(t.nStatus);
        if (bIsRedirect(t.nStatus))
            return RedirectResult(url, parts, t);
        if (bIsRetry(t.nStatus)) {
            CloseRequest();
            bPause(nSecondMs / 2);
            return INET_RETRY;
        }
        if (t.nStatus == 407) {
            CloseRequest();
            return INET_AUTH_REQUIRED;
        }
        if (t.bStopAtHeaders) {
            CloseRequest();
            return INET_HTTP_STATUS;
        }
        if (const int taken = nTakeBody(t, bytes, size); taken != INET_OK)
            return taken;
        if (size == 0) {
            vSetError(0, QStringLiteral("The server sent an empty body."));
            return INET_FAILED;
        }
        return INET_OK;
    }
    return INET_FAILED;
}

int CInet::RedirectResult(QString& url, const InetUrlParts& from, Transfer& t)
{
    CloseRequest();
    const QString location = QString::fromUtf8(t.location).trimmed();
    QString target;
    if (location.startsWith(QLatin1String("//")))
        target = from.strScheme + QLatin1Char(':') + location;
    else if (HasKnownScheme(location))
        target = location;
    else if (!location.isEmpty())
        // A relative location stays on the same scheme, server and port.
        target = from.strScheme + QLatin1String("://") + from.strServer
            + (from.bPortGiven ? QLatin1Char(':') + QString::number(from.nPort) : QString())
            + (location.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + location;
    InetUrlParts to;
    if (target.isEmpty() || !bSplitUrl(target, to)
        || (to.strScheme != QLatin1String("http") && to.strScheme != QLatin1String("https"))
        || (from.strScheme == QLatin1String("https") && to.strScheme != QLatin1String("https"))) {
        vSetError(ERROR_HTTP_REDIRECT_FAILED, QStringLiteral("The redirect was refused: ") + location.left(260));
        return INET_FAILED;
    }
    url = target;
    return INET_REDIRECTED;
}

int CInet::UrlGet(const QString& url, QByteArray& bytes, DWORD& size)
{
    bytes.clear();
    size = 0;
    InetUrlParts parts;
    if (bOffline || !bSplitUrl(url, parts)) {
        vSetError(0, kBadUrlText);
        return INET_FAILED;
    }
    Transfer t;
    t.pOwner = this;
    t.pBody = &bytes;
    t.bGeneric = TRUE;
    if (!bPrepare(t, WithoutFragment(url)))
        return INET_FAILED;
    // The generic opening follows redirects itself, but never from https
    // to anything else, and an error page is not a body.
    const BOOL bSecure = parts.strScheme == QLatin1String("https");
    curl_easy_setopt(t.easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(t.easy, CURLOPT_REDIR_PROTOCOLS_STR, bSecure ? "https" : "http,https");
    curl_easy_setopt(t.easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(t.easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(t.easy, CURLOPT_FAILONERROR, 1L);
    if (const int run = nRunTransfer(t, bytes); run != INET_OK)
        return run;
    return nTakeBody(t, bytes, size) == INET_OK && size > 0 ? INET_OK : INET_FAILED;
}
