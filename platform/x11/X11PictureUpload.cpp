// The overlay picture's conversion on a worker and its copy to the server
// through MIT-SHM. A segment is removed as soon as it is mapped (Linux lets
// the server attach it still), so none outlives the process; ours stays
// mapped until the server's completion event says it copied the pixels.
// Qt first: Xlib's macros break Qt's headers.
#include <QCoreApplication>
#include <QObject>

#include "platform/x11/X11PictureUpload.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/image/AlphaShape.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

struct CX11PictureUpload::SJob {
    std::uint64_t nId = 0;
    std::shared_ptr<const CBitmap32> picture;
    std::uint8_t nAlpha = 255;
    bool bBlend = true;
    bool bFinish = false; // shown even when a later job came
    XImage* image = nullptr;
    XShmSegmentInfo shm{}; // shmaddr null: the image's data is malloc'd
    std::vector<XRectangle> shape; // the outline, for a picture that is not blended

    ~SJob()
    {
        if (image && shm.shmaddr)
            image->data = nullptr;
        if (image)
            XDestroyImage(image);
        if (shm.shmaddr)
            shmdt(shm.shmaddr);
    }
};

namespace {

// The server's work on a shape (and every client's wait meanwhile) grows
// with its rectangles: a ragged outline is coarsened past this many.
constexpr std::size_t kMaxShapeRects = 2000;

// Straight colour of a premultiplied pixel, opaque: what a screen without
// compositor can show of it.
std::uint32_t Unpremultiplied(std::uint32_t px)
{
    const std::uint32_t a = px >> 24;
    if (a == 0)
        return 0xFF000000u;
    auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return 0xFF000000u | (un((px >> 16) & 0xFF) << 16) | (un((px >> 8) & 0xFF) << 8) | un(px & 0xFF);
}

// An 8-bit channel placed under a visual's mask, scaled to the mask's width.
unsigned long ToMask(std::uint32_t c8, unsigned long mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long max = mask >> shift;
    return ((c8 * max + 127) / 255) << shift;
}

// The pixel value of an opaque 0xFFRRGGBB colour in the visual's own format.
unsigned long VisualPixel(const Visual* visual, std::uint32_t rgb)
{
    return ToMask((rgb >> 16) & 0xFF, visual->red_mask) | ToMask((rgb >> 8) & 0xFF, visual->green_mask)
        | ToMask(rgb & 0xFF, visual->blue_mask);
}

// Fills row y of an image of any depth from a function of the pixel index.
// Whole words in host order for the common sizes, XPutPixel for the rest.
template <class PixelOf>
void vFillRow(XImage* image, int y, int w, PixelOf pixelOf)
{
    char* row = image->data + static_cast<std::size_t>(y) * image->bytes_per_line;
    const std::size_t base = static_cast<std::size_t>(y) * w;
    switch (image->bits_per_pixel) {
    case 32:
        for (int x = 0; x < w; ++x)
            reinterpret_cast<std::uint32_t*>(row)[x] = static_cast<std::uint32_t>(pixelOf(base + x));
        break;
    case 16:
        for (int x = 0; x < w; ++x)
            reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(pixelOf(base + x));
        break;
    case 8:
        for (int x = 0; x < w; ++x)
            reinterpret_cast<std::uint8_t*>(row)[x] = static_cast<std::uint8_t>(pixelOf(base + x));
        break;
    default:
        for (int x = 0; x < w; ++x)
            XPutPixel(image, x, y, pixelOf(base + x));
    }
}

// The job's image, row by row, and its outline; false when it was dropped.
BOOL bConvert(CX11PictureUpload::SJob& job, const Visual* visual, const std::function<bool()>& bDropped)
{
    const CBitmap32& pic = *job.picture;
    const int w = pic.Width(), h = pic.Height();
    const std::uint32_t* src = pic.Bits();
    const std::uint8_t a = job.nAlpha;
    const bool bWords = job.image->depth == 32;
    for (int y = 0; y < h; ++y) {
        if (bDropped())
            return false;
        if (job.bBlend)
            vFillRow(job.image, y, w, [&](std::size_t i) { return CBitmap32::ScalePixel(src[i], a); });
        else if (bWords) // ARGB visual, no compositor: opaque words
            vFillRow(job.image, y, w, [&](std::size_t i) { return Unpremultiplied(src[i]); });
        else
            vFillRow(job.image, y, w, [&](std::size_t i) { return VisualPixel(visual, Unpremultiplied(src[i])); });
    }
    job.shape.clear();
    if (!job.bBlend && a != 0)
        for (const ShapeRect& r : AlphaShapeRects(pic, kMaxShapeRects))
            job.shape.push_back({static_cast<short>(r.x), static_cast<short>(r.y), static_cast<unsigned short>(r.nWidth),
                static_cast<unsigned short>(r.nHeight)});
    return true;
}


} // namespace

CX11PictureUpload::CX11PictureUpload(Display* display, Window window, Visual* vis, int depth, Done done)
    : dpy(display), win(window), visual(vis), nDepth(depth), fnDone(std::move(done)), receiver(new QObject)
{
    if (bShmWorks(dpy))
        nShmCompletion = XShmGetEventBase(dpy) + ShmCompletion;
}

CX11PictureUpload::~CX11PictureUpload()
{
    {
        std::lock_guard lock(mutex);
        bQuit = true;
    }
    vCancel();
    wake.notify_one();
    if (worker.joinable())
        worker.join();
    receiver.reset(); // drops a result still posted
    if (!inFlight.empty()) {
        XSync(dpy, False); // the server is done with every segment
        for (const auto& seg : inFlight)
            shmdt(seg.second);
    }
}

// Whether the server can attach our segments: it may offer the extension
// and still fail (another host, another user's server).
BOOL CX11PictureUpload::bShmWorks(Display* dpy)
{
    if (!XShmQueryExtension(dpy))
        return false;
    XShmSegmentInfo shm{};
    shm.shmid = shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
    if (shm.shmid < 0)
        return false;
    shm.shmaddr = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (shm.shmaddr == reinterpret_cast<char*>(-1))
        return false;
    shm.readOnly = True;
    CX11ErrorTrap trap(dpy);
    XShmAttach(dpy, &shm);
    const bool bOk = trap.nSync() == 0;
    if (bOk)
        XShmDetach(dpy, &shm);
    XSync(dpy, False);
    shmdt(shm.shmaddr);
    return bOk;
}

// The job's image in a fresh shared segment, removed at once (the server
// may still attach it while we keep it mapped).
BOOL CX11PictureUpload::bShmImage(SJob& job, int w, int h)
{
    job.image = XShmCreateImage(dpy, visual, nDepth, ZPixmap, nullptr, &job.shm, w, h);
    if (!job.image)
        return false;
    job.shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(job.image->bytes_per_line) * h, IPC_CREAT | 0600);
    if (job.shm.shmid < 0)
        return false;
    void* addr = shmat(job.shm.shmid, nullptr, 0);
    shmctl(job.shm.shmid, IPC_RMID, nullptr);
    if (addr == reinterpret_cast<void*>(-1))
        return false;
    job.shm.shmaddr = job.image->data = static_cast<char*>(addr);
    job.shm.readOnly = True;
    return true;
}

BOOL CX11PictureUpload::bMallocImage(SJob& job, int w, int h)
{
    job.image = XCreateImage(dpy, visual, nDepth, ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!job.image)
        return false;
    job.image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(job.image->bytes_per_line) * h));
    // Our words are in host order; Xlib swaps if the server differs.
    job.image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    return job.image->data != nullptr;
}

BOOL CX11PictureUpload::bStart(std::shared_ptr<const CBitmap32> picture, std::uint8_t nAlpha, bool bBlend, bool bFinish)
{
    const std::uint64_t nId = ++nLatest;
    const auto newJob = [&] {
        auto job = std::make_unique<SJob>();
        job->nId = nId;
        job->picture = picture;
        job->nAlpha = nAlpha;
        job->bBlend = bBlend;
        job->bFinish = bFinish;
        return job;
    };
    const int w = picture->Width(), h = picture->Height();
    std::unique_ptr<SJob> job = newJob();
    if (nShmCompletion < 0 || !bShmImage(*job, w, h)) {
        job = newJob(); // what the segment's attempt left is freed
        if (!bMallocImage(*job, w, h))
            return FALSE;
    }
    std::lock_guard lock(mutex);
    pending = std::move(job);
    if (!worker.joinable())
        worker = std::thread([this] { vRun(); });
    wake.notify_one();
    return TRUE;
}

BOOL CX11PictureUpload::bDropped(const SJob& job) const
{
    const std::uint64_t nId = job.nId;
    return nId <= nCancelledUpTo.load(std::memory_order_relaxed)
        || (!job.bFinish && nId != nLatest.load(std::memory_order_relaxed));
}

void CX11PictureUpload::vRun()
{
    // Background work: the window's thread and the server go first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return bQuit || pending; });
        if (bQuit)
            return;
        std::unique_ptr<SJob> job = std::move(pending);
        lock.unlock();
        const bool bDone = bConvert(*job, visual, [this, &job] { return bDropped(*job); });
        if (!bDone)
            job.reset(); // superseded: freed outside the lock
        lock.lock();
        if (!bDone || bQuit)
            continue;
        finished = std::move(job);
        QMetaObject::invokeMethod(receiver.get(), [this] { vDeliver(); }, Qt::QueuedConnection);
    }
}

void CX11PictureUpload::vDeliver()
{
    std::unique_ptr<SJob> job;
    {
        std::lock_guard lock(mutex);
        job = std::move(finished);
    }
    if (!job || bDropped(*job))
        return;
    const int w = job->picture->Width(), h = job->picture->Height();
    Pixmap content = XCreatePixmap(dpy, win, w, h, nDepth);
    GC gc = XCreateGC(dpy, content, 0, nullptr);
    if (job->shm.shmaddr) {
        // Attach, copy, detach: the server does them in order; we only wait
        // for its completion event to unmap our side.
        // Only the last band asks for the completion event.
        XShmAttach(dpy, &job->shm);
        const int nBand = nBandRows(w);
        for (int y = 0; y < h; y += nBand)
            XShmPutImage(dpy, content, gc, job->image, 0, y, 0, y, w, std::min(nBand, h - y), y + nBand >= h);
        XShmDetach(dpy, &job->shm);
        inFlight.emplace_back(job->shm.shmseg, job->shm.shmaddr);
        job->shm.shmaddr = job->image->data = nullptr;
    } else {
        XPutImage(dpy, content, gc, job->image, 0, 0, 0, 0, w, h);
    }
    XFreeGC(dpy, gc);
    fnDone(content, job->bBlend ? nullptr : &job->shape, w, h);
}

BOOL CX11PictureUpload::bHandleEvent(const XEvent& ev)
{
    if (ev.type != nShmCompletion)
        return false;
    const auto& done = reinterpret_cast<const XShmCompletionEvent&>(ev);
    const auto it = std::find_if(inFlight.begin(), inFlight.end(), [&](const auto& seg) { return seg.first == done.shmseg; });
    if (it == inFlight.end())
        return false;
    shmdt(it->second);
    inFlight.erase(it);
    return true;
}
