// Storage and pixel arithmetic of the premultiplied BGRA surface.
#include "platform/image/Bitmap32.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// x * a / 255 rounded to nearest, exact for all 8-bit inputs.
inline std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}

} // namespace

CBitmap32::~CBitmap32()
{
    vRelease();
}

CBitmap32::CBitmap32(CBitmap32&& other) noexcept
    : pPixels(std::exchange(other.pPixels, nullptr)),
      nWidth(std::exchange(other.nWidth, 0)),
      nHeight(std::exchange(other.nHeight, 0))
{
}

CBitmap32& CBitmap32::operator=(CBitmap32&& other) noexcept
{
    if (this != &other) {
        vRelease();
        pPixels = std::exchange(other.pPixels, nullptr);
        nWidth = std::exchange(other.nWidth, 0);
        nHeight = std::exchange(other.nHeight, 0);
    }
    return *this;
}

BOOL CBitmap32::bCreate(int w, int h)
{
    vRelease();
    if (w < 0 || h < 0)
        return FALSE;
    if (w == 0 || h == 0)
        return TRUE;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t))
        return FALSE;
    auto* p = static_cast<std::uint32_t*>(std::calloc(count, sizeof(std::uint32_t)));
    if (!p)
        return FALSE;
    pPixels = p;
    nWidth = w;
    nHeight = h;
    return TRUE;
}

BOOL CBitmap32::bCopyFrom(const CBitmap32& other)
{
    if (this == &other)
        return TRUE;
    if (!bCreate(other.nWidth, other.nHeight))
        return FALSE;
    if (pPixels)
        std::memcpy(pPixels, other.pPixels, PixelCount() * sizeof(std::uint32_t));
    return TRUE;
}

void CBitmap32::vRelease()
{
    std::free(pPixels);
    pPixels = nullptr;
    nWidth = 0;
    nHeight = 0;
}

std::uint32_t CBitmap32::Premultiply(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return (std::uint32_t(a) << 24) | (MulDiv255(r, a) << 16) | (MulDiv255(g, a) << 8) | MulDiv255(b, a);
}

std::uint32_t CBitmap32::ScalePixel(std::uint32_t px, std::uint8_t a)
{
    if (a == 255)
        return px;
    return (MulDiv255(px >> 24, a) << 24) | (MulDiv255((px >> 16) & 0xFF, a) << 16)
        | (MulDiv255((px >> 8) & 0xFF, a) << 8) | MulDiv255(px & 0xFF, a);
}
