// Alpha outline to banded rectangles, coarsened until it is short enough.
#include "platform/image/AlphaShape.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kHalfAlpha = 128;

// Which blocks of one block row hold a pixel at or above half alpha.
void vBlockRow(const CBitmap32& pic, int nBlock, int nTop, std::vector<char>& on)
{
    std::fill(on.begin(), on.end(), 0);
    const int nBottom = std::min(nTop + nBlock, pic.Height());
    for (int y = nTop; y < nBottom; ++y) {
        const std::uint32_t* row = pic.Row(y);
        for (int x = 0; x < pic.Width(); ++x)
            if (CBitmap32::Alpha(row[x]) >= kHalfAlpha)
                on[static_cast<std::size_t>(x / nBlock)] = 1;
    }
}

// The runs of one block row, in pixels: pairs of left edge and width.
void vRuns(const std::vector<char>& on, int nBlock, int nWidth, std::vector<int>& runs)
{
    runs.clear();
    const int n = static_cast<int>(on.size());
    for (int i = 0; i < n;) {
        if (!on[static_cast<std::size_t>(i)]) {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && on[static_cast<std::size_t>(j)])
            ++j;
        const int x = i * nBlock;
        runs.push_back(x);
        runs.push_back(std::min(j * nBlock, nWidth) - x);
        i = j;
    }
}

// The banded list at one block size; false once it grows past nMaxRects.
BOOL bBuild(const CBitmap32& pic, int nBlock, std::size_t nMaxRects, std::vector<ShapeRect>& rects)
{
    rects.clear();
    const int w = pic.Width(), h = pic.Height();
    std::vector<char> on(static_cast<std::size_t>((w + nBlock - 1) / nBlock));
    std::vector<int> runs, bandRuns;
    std::size_t nBandStart = 0;
    for (int y = 0; y < h; y += nBlock) {
        vBlockRow(pic, nBlock, y, on);
        vRuns(on, nBlock, w, runs);
        const int nRowHeight = std::min(nBlock, h - y);
        if (!runs.empty() && runs == bandRuns && nBandStart < rects.size()
            && rects.back().y + rects.back().nHeight == y) {
            for (std::size_t i = nBandStart; i < rects.size(); ++i)
                rects[i].nHeight += nRowHeight; // the same runs: the band grows
            continue;
        }
        nBandStart = rects.size();
        bandRuns = runs;
        if (rects.size() + runs.size() / 2 > nMaxRects)
            return false;
        for (std::size_t i = 0; i < runs.size(); i += 2)
            rects.push_back({runs[i], y, runs[i + 1], nRowHeight});
    }
    return true;
}

} // namespace

std::vector<ShapeRect> AlphaShapeRects(const CBitmap32& pic, std::size_t nMaxRects)
{
    std::vector<ShapeRect> rects;
    if (pic.IsEmpty())
        return rects;
    const int nLongest = std::max(pic.Width(), pic.Height());
    for (int nBlock = 1;; nBlock *= 2) {
        // One block as big as the picture is at most one rectangle.
        if (bBuild(pic, nBlock, std::max<std::size_t>(nMaxRects, 1), rects) || nBlock >= nLongest)
            return rects;
    }
}
