// Separable bicubic resampling in premultiplied space: rows first into a
// float buffer, then columns; results held to valid premultiplied pixels.
#include "platform/image/BicubicScale.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

// Keys' cubic with a = -0.5 (Catmull-Rom): sharp, no blur at scale 1.
float Cubic(float x)
{
    x = std::fabs(x);
    if (x < 1.0f)
        return (1.5f * x - 2.5f) * x * x + 1.0f;
    if (x < 2.0f)
        return ((-0.5f * x + 2.5f) * x - 4.0f) * x + 2.0f;
    return 0.0f;
}

// The source pixels and weights that make each output position along one axis.
struct Taps {
    std::vector<int> first;    // per output: index of its first weight in weights
    std::vector<int> count;
    std::vector<int> source;   // per weight: the source index
    std::vector<float> weights;
};

Taps MakeTaps(int nSrc, int nDst)
{
    Taps t;
    const float scale = static_cast<float>(nDst) / static_cast<float>(nSrc);
    // Shrinking widens the filter so it averages over the pixels it covers.
    const float stretch = scale < 1.0f ? 1.0f / scale : 1.0f;
    const float support = 2.0f * stretch;
    t.first.resize(static_cast<std::size_t>(nDst));
    t.count.resize(static_cast<std::size_t>(nDst));
    for (int i = 0; i < nDst; ++i) {
        const float centre = (static_cast<float>(i) + 0.5f) / scale - 0.5f;
        const int lo = static_cast<int>(std::floor(centre - support)) + 1;
        const int hi = static_cast<int>(std::floor(centre + support));
        const int begin = static_cast<int>(t.weights.size());
        float sum = 0.0f;
        for (int s = lo; s <= hi; ++s) {
            const float w = Cubic((static_cast<float>(s) - centre) / stretch);
            if (w == 0.0f)
                continue;
            t.source.push_back(std::clamp(s, 0, nSrc - 1));
            t.weights.push_back(w);
            sum += w;
        }
        for (std::size_t k = static_cast<std::size_t>(begin); k < t.weights.size(); ++k)
            t.weights[k] /= sum;
        t.first[static_cast<std::size_t>(i)] = begin;
        t.count[static_cast<std::size_t>(i)] = static_cast<int>(t.weights.size()) - begin;
    }
    return t;
}

std::uint8_t ToByte(float v, float max)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, max)));
}

} // namespace

BOOL bScaleBicubic(const CBitmap32& src, int nWidth, int nHeight, CBitmap32& dst)
{
    dst.vRelease();
    if (src.IsEmpty() || nWidth < 1 || nHeight < 1)
        return FALSE;
    try {
        const Taps across = MakeTaps(src.Width(), nWidth);
        const Taps down = MakeTaps(src.Height(), nHeight);
        // Rows resampled across: src.Height() x nWidth pixels of 4 floats (b, g, r, a).
        std::vector<float> rows(static_cast<std::size_t>(src.Height()) * static_cast<std::size_t>(nWidth) * 4);
        for (int y = 0; y < src.Height(); ++y) {
            const std::uint32_t* in = src.Row(y);
            float* out = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(nWidth) * 4;
            for (int x = 0; x < nWidth; ++x, out += 4) {
                const int first = across.first[static_cast<std::size_t>(x)];
                for (int k = first; k < first + across.count[static_cast<std::size_t>(x)]; ++k) {
                    const std::uint32_t px = in[across.source[static_cast<std::size_t>(k)]];
                    const float w = across.weights[static_cast<std::size_t>(k)];
                    out[0] += w * static_cast<float>(px & 0xFF);
                    out[1] += w * static_cast<float>((px >> 8) & 0xFF);
                    out[2] += w * static_cast<float>((px >> 16) & 0xFF);
                    out[3] += w * static_cast<float>(px >> 24);
                }
            }
        }
        if (!dst.bCreate(nWidth, nHeight))
            return FALSE;
        for (int y = 0; y < nHeight; ++y) {
            std::uint32_t* out = dst.Row(y);
            const int first = down.first[static_cast<std::size_t>(y)];
            for (int x = 0; x < nWidth; ++x) {
                float c[4] = {0, 0, 0, 0};
                for (int k = first; k < first + down.count[static_cast<std::size_t>(y)]; ++k) {
                    const float* in = rows.data()
                        + (static_cast<std::size_t>(down.source[static_cast<std::size_t>(k)]) * nWidth + x) * 4;
                    const float w = down.weights[static_cast<std::size_t>(k)];
                    for (int ch = 0; ch < 4; ++ch)
                        c[ch] += w * in[ch];
                }
                // The cubic overshoots at edges: alpha to 0..255, colours to alpha.
                const std::uint8_t a = ToByte(c[3], 255.0f);
                const float fa = static_cast<float>(a);
                out[x] = (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(ToByte(c[2], fa)) << 16)
                    | (static_cast<std::uint32_t>(ToByte(c[1], fa)) << 8) | ToByte(c[0], fa);
            }
        }
        return TRUE;
    } catch (const std::bad_alloc&) {
        dst.vRelease();
        return FALSE;
    }
}
