// The one worker thread that decodes pictures, so the window's thread never
// does: requests are queued (urgent ones first), and each result comes back
// to the window's thread as a queued call, never by waiting. The thread is
// started by the first request and joined by vStop, at the latest when the
// application object goes.
#pragma once

#include "platform/image/PngImage.h"
#include "platform/storage/FileStamp.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

struct SDecodedPicture {
    QString strPath;
    SFileStamp stamp;       // of the file when it was asked for
    int nWidth = 0;         // the size asked for; 0 x 0: the picture's own
    int nHeight = 0;
    PngResult result = PngResult::Unreadable;
    int nSourceWidth = 0;   // the picture's own size, when its header was read
    int nSourceHeight = 0;
    CBitmap32 picture;
};

// What receives decoded pictures, on the window's thread. A sink that goes
// away receives nothing more.
class CPictureSink {
public:
    CPictureSink();
    virtual ~CPictureSink();
    CPictureSink(const CPictureSink&) = delete;
    CPictureSink& operator=(const CPictureSink&) = delete;

    virtual void vPictureDecoded(SDecodedPicture& decoded) = 0;

    std::uint64_t SinkId() const { return nSinkId; }

private:
    std::uint64_t nSinkId;
};

class CPictureDecoder {
public:
    static CPictureDecoder& Instance();
    ~CPictureDecoder();

    // Window's thread. Queues a decode of strPath at w x h for the sink.
    void vRequest(CPictureSink* pSink, const QString& strPath, const SFileStamp& stamp, int w, int h, BOOL bUrgent);
    // Window's thread. Stops the worker, ending the decode under way at its
    // next row; later requests are dropped. Also run when the application object goes.
    void vStop();
    // Requests asked for and not yet delivered (or dropped).
    int nOutstanding() const { return nPending.load(); }

    // Where a refused picture is reported (the program's log); window's thread.
    static void vSetLog(std::function<void(const QString&)> fnLog);

private:
    friend class CPictureSink;
    struct SRequest {
        std::uint64_t nSinkId;
        QString strPath;
        SFileStamp stamp;
        int nWidth;
        int nHeight;
    };

    CPictureDecoder() = default;
    void vRun();
    void vDeliver(std::uint64_t nSinkId, SDecodedPicture& decoded);
    void vForget(const CPictureSink* pSink);

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<SRequest> queue;
    bool bStopping = false;
    std::atomic<bool> bCancel{false}; // ends the decode under way between rows
    std::thread worker;
    std::atomic<int> nPending{0};
    // Window's thread only: the sinks alive, by id.
    std::unordered_map<std::uint64_t, CPictureSink*> sinks;
};
