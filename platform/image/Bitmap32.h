// A 32-bit premultiplied BGRA pixel surface (one uint32_t 0xAARRGGBB per
// pixel, rows top-down, no padding): what pictures decode into and what the
// overlay and the drawing code hand around.
#pragma once

#include "platform/base/Win32.h"

#include <cstddef>
#include <cstdint>

class CBitmap32 {
public:
    CBitmap32() = default;
    ~CBitmap32();
    CBitmap32(CBitmap32&& other) noexcept;
    CBitmap32& operator=(CBitmap32&& other) noexcept;
    CBitmap32(const CBitmap32&) = delete;
    CBitmap32& operator=(const CBitmap32&) = delete;

    // A zeroed (fully transparent) surface; FALSE when the size is negative,
    // overflows or cannot be allocated. 0 x 0 is a valid, empty surface.
    BOOL bCreate(int nWidth, int nHeight);
    BOOL bCopyFrom(const CBitmap32& other);
    void vRelease();

    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    int Stride() const { return nWidth * 4; }
    BOOL IsEmpty() const { return nWidth == 0 || nHeight == 0; }
    std::size_t PixelCount() const { return static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight); }

    std::uint32_t* Bits() { return pPixels; }
    const std::uint32_t* Bits() const { return pPixels; }
    std::uint32_t* Row(int y) { return pPixels + static_cast<std::size_t>(y) * nWidth; }
    const std::uint32_t* Row(int y) const { return pPixels + static_cast<std::size_t>(y) * nWidth; }
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, std::uint32_t argb) { Row(y)[x] = argb; }

    // Packs straight (not premultiplied) components into a premultiplied pixel.
    static std::uint32_t Premultiply(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    static std::uint8_t Alpha(std::uint32_t px) { return static_cast<std::uint8_t>(px >> 24); }
    // Scales every component of a premultiplied pixel by nAlpha / 255.
    static std::uint32_t ScalePixel(std::uint32_t px, std::uint8_t nAlpha);

private:
    std::uint32_t* pPixels = nullptr;
    int nWidth = 0;
    int nHeight = 0;
};
