// The drop shadow's band arithmetic and the two ways its pixels are shaded.
#include "gallery/ShadowBand.h"

#include <cmath>
#include <cstdint>

namespace ShadowBand {

int nBrightness(int i, int nDepth, int nDarkest, int nLightest)
{
    return nDarkest + i * (nLightest - nDarkest) / nDepth;
}

int nCornerBrightness(int i, int l, int nDepth, int nDarkest, int nLightest)
{
    const int sq = i * i + l * l;
    if (sq > nDepth * nDepth)
        return -1;
    const int r = static_cast<int>(std::sqrt(static_cast<double>(sq)));
    return nDarkest + r * (nLightest - nDarkest) / nDepth;
}

namespace {

bool bInside(const CBitmap32& img, int x, int y)
{
    return x >= 0 && y >= 0 && x < img.Width() && y < img.Height();
}

std::uint32_t Scale(std::uint32_t px, int p)
{
    const auto ch = [p](std::uint32_t v) { return (v & 0xFFu) * static_cast<std::uint32_t>(p) / 100u; };
    return (px & 0xFF000000u) | (ch(px >> 16) << 16) | (ch(px >> 8) << 8) | ch(px);
}

} // namespace

void vDarken(CBitmap32& img, int W, int H, int d, int nDarkest, int nLightest)
{
    vForEachPixel(W, H, d, nDarkest, nLightest, [&img](int x, int y, int p) {
        if (bInside(img, x, y))
            img.SetPixel(x, y, Scale(img.Pixel(x, y), p));
    });
}

void vShade(CBitmap32& img, int W, int H, int d, int nDarkest, int nLightest)
{
    vForEachPixel(W, H, d, nDarkest, nLightest, [&img](int x, int y, int p) {
        if (bInside(img, x, y))
            img.SetPixel(x, y, static_cast<std::uint32_t>((100 - p) * 255 / 100) << 24);
    });
}

} // namespace ShadowBand
