// The decoding worker: a queue under a mutex, one thread that sleeps on a
// condition until there is work, and results posted to the application
// object's thread.
#include "platform/image/PictureDecoder.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<std::uint64_t> g_nNextSinkId{1};
std::function<void(const QString&)> g_fnLog;
// Set while the function-local instance exists, so a sink that goes away
// after it never touches a destroyed decoder.
CPictureDecoder* g_pDecoder = nullptr;

void StopAtApplicationEnd()
{
    if (g_pDecoder)
        g_pDecoder->vStop();
}

} // namespace

CPictureSink::CPictureSink() : nSinkId(g_nNextSinkId++) {}

CPictureSink::~CPictureSink()
{
    if (g_pDecoder)
        g_pDecoder->vForget(this);
}

CPictureDecoder& CPictureDecoder::Instance()
{
    static CPictureDecoder decoder;
    g_pDecoder = &decoder;
    return decoder;
}

CPictureDecoder::~CPictureDecoder()
{
    vStop();
    g_pDecoder = nullptr;
}

void CPictureDecoder::vSetLog(std::function<void(const QString&)> fnLog)
{
    g_fnLog = std::move(fnLog);
}

void CPictureDecoder::vForget(const CPictureSink* pSink)
{
    sinks.erase(pSink->SinkId());
    std::lock_guard lock(mutex);
    const std::uint64_t nSinkId = pSink->SinkId();
    nPending -= static_cast<int>(std::erase_if(queue, [nSinkId](const SRequest& r) { return r.nSinkId == nSinkId; }));
}

void CPictureDecoder::vRequest(CPictureSink* pSink, const QString& strPath, const SFileStamp& stamp, int w, int h,
    BOOL bUrgent)
{
    if (!QCoreApplication::instance())
        return;
    sinks[pSink->SinkId()] = pSink;
    std::lock_guard lock(mutex);
    if (bStopping)
        return;
    if (!worker.joinable()) {
        worker = std::thread([this] { vRun(); });
        // The worker posts to the application object: it must end first.
        qAddPostRoutine(StopAtApplicationEnd);
    }
    SRequest request{pSink->SinkId(), strPath, stamp, w, h};
    if (bUrgent)
        queue.push_front(std::move(request));
    else
        queue.push_back(std::move(request));
    ++nPending;
    wake.notify_one();
}

void CPictureDecoder::vStop()
{
    {
        std::lock_guard lock(mutex);
        if (bStopping)
            return;
        bStopping = true;
        bCancel = true;
        nPending -= static_cast<int>(queue.size());
        queue.clear();
    }
    wake.notify_one();
    if (worker.joinable())
        worker.join();
}

void CPictureDecoder::vRun()
{
    // Decoding is background work: the window's thread goes first for the CPU.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return bStopping || !queue.empty(); });
        if (bStopping)
            return;
        SRequest request = std::move(queue.front());
        queue.pop_front();
        lock.unlock();

        auto decoded = std::make_shared<SDecodedPicture>();
        decoded->strPath = request.strPath;
        decoded->stamp = request.stamp;
        decoded->nWidth = request.nWidth;
        decoded->nHeight = request.nHeight;
        decoded->result = CPngImage::Decode(request.strPath, request.nWidth, request.nHeight, decoded->picture,
            &decoded->nSourceWidth, &decoded->nSourceHeight, &bCancel);

        lock.lock();
        if (bStopping) {
            --nPending;
            return;
        }
        // Posted under the lock: vStop cannot pass while a post is made.
        const std::uint64_t nSinkId = request.nSinkId;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this, nSinkId, decoded] { vDeliver(nSinkId, *decoded); },
            Qt::QueuedConnection);
    }
}

void CPictureDecoder::vDeliver(std::uint64_t nSinkId, SDecodedPicture& decoded)
{
    --nPending;
    if (decoded.result == PngResult::TooLarge && g_fnLog) {
        g_fnLog(QStringLiteral("Picture not shown: %1 is %2 x %3 pixels, more than %4 x %4 or %5 pixels")
                    .arg(decoded.strPath)
                    .arg(decoded.nSourceWidth)
                    .arg(decoded.nSourceHeight)
                    .arg(CPngImage::nMaxSide)
                    .arg(CPngImage::nMaxPixels));
    }
    const auto it = sinks.find(nSinkId);
    if (it != sinks.end())
        it->second->vPictureDecoded(decoded);
}
