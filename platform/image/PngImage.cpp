// libpng decoding, one row at a time into a sink that either places the
// pixels (the picture's own size) or adds them into the box of the scaled
// picture they fall in. The longjmp-trapped part works on plain buffers only
// (no object with a destructor lives across setjmp); everything it
// allocated is freed in one place whichever way it ends.
#include "platform/image/PngImage.h"

#include "platform/storage/SafeFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>
#include <vector>

namespace {

struct MemorySource {
    const png_byte* pData;
    std::size_t nSize;
    std::size_t nPos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > src->nSize - src->nPos)
        png_error(png, "truncated");
    std::memcpy(out, src->pData + src->nPos, count);
    src->nPos += count;
}

void SilentWarning(png_structp, png_const_charp) {}

void ErrorToLongjmp(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

std::uint32_t PremultipliedAt(const std::uint8_t* bgra)
{
    return CBitmap32::Premultiply(bgra[2], bgra[1], bgra[0], bgra[3]);
}

// Where decoded rows go: nCount straight BGRA pixels that lie on row y at
// x0, x0 + dx, ... (dx > 1 for the passes of an interlaced picture). No
// method throws: a failed allocation answers false.
class CRowSink {
public:
    virtual ~CRowSink() = default;
    virtual BOOL bBegin(int w, int h) = 0;
    virtual void vRow(int y, int x0, int dx, const std::uint8_t* bgra, int nCount) = 0;
    virtual BOOL bFinish(CBitmap32& bitmap) = 0;
};

// The picture at its own size.
class CPlaceSink : public CRowSink {
public:
    BOOL bBegin(int w, int h) override { return picture.bCreate(w, h) != FALSE; }
    void vRow(int y, int x0, int dx, const std::uint8_t* bgra, int nCount) override
    {
        std::uint32_t* row = picture.Row(y);
        for (int i = 0; i < nCount; ++i)
            row[x0 + i * dx] = PremultipliedAt(bgra + i * 4);
    }
    BOOL bFinish(CBitmap32& bitmap) override
    {
        bitmap = std::move(picture);
        return true;
    }

private:
    CBitmap32 picture;
};

// The source span [nFirst, nEnd) that target pixel t of n covers, of a side
// of nSource pixels: a box when shrinking, the nearest pixel (the one the
// unsmoothed stretch takes) when growing.
struct Span {
    int nFirst;
    int nEnd;
};
Span SpanOf(int t, int n, int nSource)
{
    const int first = static_cast<int>(static_cast<long long>(t) * nSource / n);
    const int end = static_cast<int>(static_cast<long long>(t + 1) * nSource / n);
    return {first, end > first ? end : first + 1};
}

// The box-filtered picture: every source pixel is added to the target
// pixels whose span holds it; only the targets' sums are kept.
class CBoxSink : public CRowSink {
public:
    CBoxSink(int w, int h) : nWidth(w), nHeight(h) {}

    BOOL bBegin(int w, int h) override
    {
        try {
            vMap(nWidth, w, xFirst, xLast);
            vMap(nHeight, h, yFirst, yLast);
            sums.assign(static_cast<std::size_t>(nWidth) * nHeight * 4, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        nSourceWidth = w;
        nSourceHeight = h;
        return true;
    }

    void vRow(int y, int x0, int dx, const std::uint8_t* bgra, int nCount) override
    {
        for (int ty = yFirst[y]; ty <= yLast[y]; ++ty) {
            std::uint64_t* row = sums.data() + static_cast<std::size_t>(ty) * nWidth * 4;
            for (int i = 0; i < nCount; ++i) {
                const int x = x0 + i * dx;
                const std::uint32_t px = PremultipliedAt(bgra + i * 4);
                for (int tx = xFirst[x]; tx <= xLast[x]; ++tx) {
                    std::uint64_t* sum = row + static_cast<std::size_t>(tx) * 4;
                    sum[0] += px & 0xFF;
                    sum[1] += (px >> 8) & 0xFF;
                    sum[2] += (px >> 16) & 0xFF;
                    sum[3] += px >> 24;
                }
            }
        }
    }

    BOOL bFinish(CBitmap32& bitmap) override
    {
        if (!bitmap.bCreate(nWidth, nHeight))
            return false;
        for (int ty = 0; ty < nHeight; ++ty) {
            const Span sy = SpanOf(ty, nHeight, nSourceHeight);
            for (int tx = 0; tx < nWidth; ++tx) {
                const Span sx = SpanOf(tx, nWidth, nSourceWidth);
                const std::uint64_t n = static_cast<std::uint64_t>(sx.nEnd - sx.nFirst) * (sy.nEnd - sy.nFirst);
                const std::uint64_t* sum = sums.data() + (static_cast<std::size_t>(ty) * nWidth + tx) * 4;
                std::uint32_t px = 0;
                for (int c = 0; c < 4; ++c)
                    px |= static_cast<std::uint32_t>((sum[c] + n / 2) / n) << (8 * c);
                bitmap.SetPixel(tx, ty, px);
            }
        }
        return true;
    }

private:
    // For each source index, the first and last target whose span holds it.
    static void vMap(int n, int nSource, std::vector<int>& first, std::vector<int>& last)
    {
        first.assign(nSource, 0);
        last.assign(nSource, -1);
        for (int t = n - 1; t >= 0; --t) {
            const Span s = SpanOf(t, n, nSource);
            for (int i = s.nFirst; i < s.nEnd && i < nSource; ++i) {
                first[i] = t;
                if (last[i] < 0)
                    last[i] = t;
            }
        }
    }

    int nWidth, nHeight;
    int nSourceWidth = 0, nSourceHeight = 0;
    std::vector<int> xFirst, xLast, yFirst, yLast;
    std::vector<std::uint64_t> sums;
};

// Decodes from either a FILE or a memory source into the sink, row by row.
// Plain C style on purpose: see the file comment.
PngResult DecodeRows(std::FILE* file, MemorySource* mem, CRowSink* sink, const std::atomic<bool>* pCancel)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorToLongjmp, SilentWarning);
    if (!png)
        return PngResult::Unreadable;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return PngResult::Unreadable;
    }
    png_bytep volatile row = nullptr;

    if (setjmp(png_jmpbuf(png))) {
        std::free(row);
        png_destroy_read_struct(&png, &info, nullptr);
        return PngResult::Unreadable;
    }

    if (file)
        png_init_io(png, file);
    else
        png_set_read_fn(png, mem, ReadFromMemory);
    // libpng's own guard as a second line; the header check before is the one that counts.
    png_set_user_limits(png, CPngImage::nMaxSide, CPngImage::nMaxSide);
    png_read_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (!CPngImage::bAcceptableSize(w, h))
        png_error(png, "too large");

    const int colorType = png_get_color_type(png, info);
    png_set_expand(png); // palette -> RGB, grey < 8 bits -> 8, tRNS -> alpha
    png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    // No interlace handling: each pass's rows come as they are, and the
    // sink puts their pixels where they belong, so no full picture is kept.
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4)
        png_error(png, "unexpected row layout");

    row = static_cast<png_bytep>(std::malloc(static_cast<std::size_t>(w) * 4));
    if (!row || !sink->bBegin(static_cast<int>(w), static_cast<int>(h)))
        png_error(png, "out of memory");
    const bool bAdam7 = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
    for (int pass = 0; pass < (bAdam7 ? 7 : 1); ++pass) {
        const png_uint_32 rows = bAdam7 ? PNG_PASS_ROWS(h, pass) : h;
        const png_uint_32 cols = bAdam7 ? PNG_PASS_COLS(w, pass) : w;
        if (rows == 0 || cols == 0)
            continue; // libpng skips empty passes too
        const int x0 = bAdam7 ? PNG_PASS_START_COL(pass) : 0;
        const int dx = bAdam7 ? 1 << PNG_PASS_COL_SHIFT(pass) : 1;
        const int y0 = bAdam7 ? PNG_PASS_START_ROW(pass) : 0;
        const int dy = bAdam7 ? 1 << PNG_PASS_ROW_SHIFT(pass) : 1;
        for (png_uint_32 r = 0; r < rows; ++r) {
            if (pCancel && pCancel->load(std::memory_order_relaxed))
                png_error(png, "cancelled");
            png_read_row(png, row, nullptr);
            sink->vRow(y0 + static_cast<int>(r) * dy, x0, dx, row, static_cast<int>(cols));
        }
    }
    png_read_end(png, nullptr);

    std::free(row);
    png_destroy_read_struct(&png, &info, nullptr);
    return PngResult::Ok;
}

// The sink for the size asked for; null when that size makes no sense.
std::unique_ptr<CRowSink> SinkFor(int w, int h)
{
    if (w == 0 && h == 0)
        return std::make_unique<CPlaceSink>();
    if (w <= 0 || h <= 0 || w > CPngImage::nMaxScaledSide || h > CPngImage::nMaxScaledSide)
        return nullptr;
    return std::make_unique<CBoxSink>(w, h);
}

PngResult Finish(PngResult result, CRowSink* sink, CBitmap32& bitmap)
{
    if (result == PngResult::Ok && !sink->bFinish(bitmap))
        result = PngResult::Unreadable;
    if (result != PngResult::Ok)
        bitmap.vRelease();
    return result;
}

} // namespace

BOOL CPngImage::bAcceptableSize(unsigned long w, unsigned long h)
{
    return w > 0 && h > 0 && w <= static_cast<unsigned long>(nMaxSide) && h <= static_cast<unsigned long>(nMaxSide)
        && static_cast<long long>(w) * static_cast<long long>(h) <= nMaxPixels;
}

BOOL CPngImage::bParseHeader(const void* pData, std::size_t nSize, unsigned long& nWidth, unsigned long& nHeight)
{
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    const auto* p = static_cast<const unsigned char*>(pData);
    auto be32 = [p](std::size_t at) {
        return (static_cast<unsigned long>(p[at]) << 24) | (p[at + 1] << 16) | (p[at + 2] << 8) | p[at + 3];
    };
    // Signature, the first chunk's length (13) and type ("IHDR"), width, height.
    if (!p || nSize < 24 || std::memcmp(p, signature, 8) != 0 || be32(8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0)
        return FALSE;
    nWidth = be32(16);
    nHeight = be32(20);
    return TRUE;
}

BOOL CPngImage::bHeaderAcceptable(const QString& strPath)
{
    const int fd = OpenRegularFile(strPath);
    if (fd < 0)
        return FALSE;
    unsigned char head[33];
    const ssize_t nRead = read(fd, head, sizeof head);
    close(fd);
    unsigned long w = 0, h = 0;
    return nRead > 0 && bParseHeader(head, static_cast<std::size_t>(nRead), w, h) && bAcceptableSize(w, h);
}

PngResult CPngImage::Decode(const QString& strPath, int nWidth, int nHeight, CBitmap32& bitmap, int* pSourceWidth,
    int* pSourceHeight, const std::atomic<bool>* pCancel)
{
    bitmap.vRelease();
    // Only a regular file, opened without blocking: a FIFO named as the
    // picture must not freeze the caller.
    const int fd = OpenRegularFile(strPath);
    std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        if (fd >= 0)
            close(fd);
        return PngResult::Unreadable;
    }
    unsigned char head[33];
    const std::size_t nRead = std::fread(head, 1, sizeof head, file);
    unsigned long w = 0, h = 0;
    PngResult result = PngResult::Unreadable;
    std::unique_ptr<CRowSink> sink = SinkFor(nWidth, nHeight);
    if (bParseHeader(head, nRead, w, h)) {
        if (pSourceWidth && pSourceHeight && w <= 0x7FFFFFFFul && h <= 0x7FFFFFFFul) {
            *pSourceWidth = static_cast<int>(w);
            *pSourceHeight = static_cast<int>(h);
        }
        if (!bAcceptableSize(w, h))
            result = PngResult::TooLarge;
        else if (sink && std::fseek(file, 0, SEEK_SET) == 0)
            result = DecodeRows(file, nullptr, sink.get(), pCancel);
    }
    std::fclose(file);
    return Finish(result, sink.get(), bitmap);
}

PngResult CPngImage::DecodeMemory(const void* pData, std::size_t nSize, int nWidth, int nHeight, CBitmap32& bitmap)
{
    bitmap.vRelease();
    unsigned long w = 0, h = 0;
    if (!bParseHeader(pData, nSize, w, h))
        return PngResult::Unreadable;
    if (!bAcceptableSize(w, h))
        return PngResult::TooLarge;
    std::unique_ptr<CRowSink> sink = SinkFor(nWidth, nHeight);
    if (!sink)
        return PngResult::Unreadable;
    MemorySource src{static_cast<const png_byte*>(pData), nSize, 0};
    return Finish(DecodeRows(nullptr, &src, sink.get(), nullptr), sink.get(), bitmap);
}
