// libpng decoding. The longjmp-trapped part works on plain buffers only (no
// object with a destructor lives across setjmp); everything it allocated is
// freed in one place whichever way it ends.
#include "platform/image/PngImage.h"

#include "platform/storage/SafeFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

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

// Premultiplies BGRA rows in place and repacks them as 0xAARRGGBB words.
void Premultiply(std::uint32_t* pixels, std::size_t count)
{
    auto* bytes = reinterpret_cast<const std::uint8_t*>(pixels);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes + i * 4;
        pixels[i] = CBitmap32::Premultiply(p[2], p[1], p[0], p[3]);
    }
}

// Decodes from either a FILE or a memory source into a malloc'd pixel block.
// Plain C style on purpose: see the file comment.
BOOL DecodeRaw(std::FILE* file, MemorySource* mem, std::uint32_t** ppPixels, int* pWidth, int* pHeight)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorToLongjmp, SilentWarning);
    if (!png)
        return FALSE;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return FALSE;
    }
    std::uint32_t* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;

    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        std::free(pixels);
        png_destroy_read_struct(&png, &info, nullptr);
        return FALSE;
    }

    if (file)
        png_init_io(png, file);
    else
        png_set_read_fn(png, mem, ReadFromMemory);
    // libpng's own guard as a second line; ours below is the one that counts.
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
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4)
        png_error(png, "unexpected row layout");

    pixels = static_cast<std::uint32_t*>(std::malloc(static_cast<std::size_t>(w) * h * 4));
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * h));
    if (!pixels || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels + static_cast<std::size_t>(y) * w);
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    Premultiply(pixels, static_cast<std::size_t>(w) * h);
    *ppPixels = pixels;
    *pWidth = static_cast<int>(w);
    *pHeight = static_cast<int>(h);
    return TRUE;
}

BOOL Finish(BOOL ok, std::uint32_t* pixels, int w, int h, CBitmap32& bitmap)
{
    if (!ok) {
        bitmap.vRelease();
        return FALSE;
    }
    bitmap.vAdopt(pixels, w, h);
    return TRUE;
}

} // namespace

BOOL CPngImage::bAcceptableSize(unsigned long w, unsigned long h)
{
    return w > 0 && h > 0 && w <= static_cast<unsigned long>(nMaxSide) && h <= static_cast<unsigned long>(nMaxSide);
}

BOOL CPngImage::bDecodeFile(const QString& strPath, CBitmap32& bitmap)
{
    bitmap.vRelease();
    // Only a regular file, opened without blocking: a FIFO named as the
    // picture must not freeze the caller.
    const int fd = OpenRegularFile(strPath);
    std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        if (fd >= 0)
            close(fd);
        return FALSE;
    }
    std::uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    BOOL ok = DecodeRaw(file, nullptr, &pixels, &w, &h);
    std::fclose(file);
    return Finish(ok, pixels, w, h, bitmap);
}

BOOL CPngImage::bDecodeMemory(const void* pData, std::size_t nSize, CBitmap32& bitmap)
{
    bitmap.vRelease();
    if (!pData)
        return FALSE;
    MemorySource src{static_cast<const png_byte*>(pData), nSize, 0};
    std::uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    BOOL ok = DecodeRaw(nullptr, &src, &pixels, &w, &h);
    return Finish(ok, pixels, w, h, bitmap);
}
