// GDI drawing on a premultiplied 32-bit surface.
#include "platform/ui/DC.h"

#include "platform/image/Bitmap32.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The surface pixel (0xAARRGGBB, opaque) of a colour.
std::uint32_t PixelOfColor(COLORREF clr)
{
    return 0xFF000000u | (std::uint32_t(GetRValue(clr)) << 16) | (std::uint32_t(GetGValue(clr)) << 8) | GetBValue(clr);
}

} // namespace

CDC::CDC() = default;

CDC::CDC(CBitmap32* surface) : pSurface(surface) {}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* pFont)
{
    return std::exchange(state.pFont, pFont);
}

COLORREF CDC::SetTextColor(COLORREF clr)
{
    return std::exchange(state.clrText, clr);
}

COLORREF CDC::SetBkColor(COLORREF clr)
{
    return std::exchange(state.clrBk, clr);
}

int CDC::SetBkMode(int nMode)
{
    return std::exchange(state.nBkMode, nMode);
}

POINT CDC::SetWindowOrg(int x, int y)
{
    return std::exchange(state.ptOrg, POINT{x, y});
}

void CDC::LPtoDP(POINT* pt) const
{
    pt->x -= state.ptOrg.x;
    pt->y -= state.ptOrg.y;
}

void CDC::LPtoDP(RECT* rc) const
{
    OffsetRect(rc, -state.ptOrg.x, -state.ptOrg.y);
}

int CDC::GetClipBox(RECT* rc) const
{
    RECT dev{0, 0, pSurface ? pSurface->Width() : 0, pSurface ? pSurface->Height() : 0};
    if (state.bClipSet)
        IntersectRect(&dev, &dev, &state.rcClip);
    *rc = dev;
    OffsetRect(rc, state.ptOrg.x, state.ptOrg.y);
    return IsRectEmpty(&dev) ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(const RECT* rc)
{
    RECT dev = *rc;
    LPtoDP(&dev);
    if (state.bClipSet)
        IntersectRect(&dev, &dev, &state.rcClip);
    state.rcClip = dev;
    state.bClipSet = TRUE;
    return IsRectEmpty(&dev) ? NULLREGION : SIMPLEREGION;
}

int CDC::SaveDC()
{
    saved.push_back(state);
    return static_cast<int>(saved.size());
}

BOOL CDC::RestoreDC(int n)
{
    const size_t index = n < 0 ? saved.size() + n : static_cast<size_t>(n) - 1;
    if (index >= saved.size())
        return FALSE;
    state = saved[index];
    saved.resize(index);
    return TRUE;
}

RECT CDC::rcToDevice(const RECT& rc) const
{
    // A rectangle given with negative extents is normalised, as GDI does.
    RECT dev{std::min(rc.left, rc.right), std::min(rc.top, rc.bottom), std::max(rc.left, rc.right),
        std::max(rc.top, rc.bottom)};
    LPtoDP(&dev);
    RECT bounds{0, 0, pSurface ? pSurface->Width() : 0, pSurface ? pSurface->Height() : 0};
    if (state.bClipSet)
        IntersectRect(&bounds, &bounds, &state.rcClip);
    IntersectRect(&dev, &dev, &bounds);
    return dev;
}

void CDC::FillSolidRect(const RECT* rc, COLORREF clr)
{
    if (!pSurface)
        return;
    const RECT d = rcToDevice(*rc);
    const std::uint32_t px = PixelOfColor(clr);
    for (LONG y = d.top; y < d.bottom; ++y)
        std::fill(pSurface->Row(y) + d.left, pSurface->Row(y) + d.right, px);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rc{x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}

void CDC::FillRect(const RECT* rc, CBrush* pBrush)
{
    if (!pSurface || !pBrush || pBrush->GetKind() == CBrush::Kind::Hollow)
        return;
    const RECT d = rcToDevice(*rc);
    const std::uint32_t text = PixelOfColor(state.clrText) & 0xFFFFFFu;
    const std::uint32_t bk = PixelOfColor(state.clrBk) & 0xFFFFFFu;
    const std::uint32_t solid = PixelOfColor(pBrush->GetColor()) & 0xFFFFFFu;
    const BOOL bPattern = pBrush->GetKind() == CBrush::Kind::Pattern;
    for (LONG y = d.top; y < d.bottom; ++y) {
        std::uint32_t* row = pSurface->Row(y);
        for (LONG x = d.left; x < d.right; ++x)
            row[x] = (row[x] & 0xFF000000u) | (bPattern ? (pBrush->PatternBit(x, y) ? bk : text) : solid);
    }
}

void CDC::Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    const int x = rc->left, y = rc->top, cx = RectWidth(*rc), cy = RectHeight(*rc);
    // The framework's order: top and left first, then right and bottom over them.
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::AlphaBlendStretch(const RECT* rcDest, const CBitmap32& src, BOOL bSmooth)
{
    if (!pSurface || src.IsEmpty() || IsRectEmpty(rcDest))
        return FALSE;
    RECT full = *rcDest;
    LPtoDP(&full);
    const RECT d = rcToDevice(*rcDest);
    const double sx = double(src.Width()) / RectWidth(full);
    const double sy = double(src.Height()) / RectHeight(full);
    for (LONG y = d.top; y < d.bottom; ++y) {
        std::uint32_t* row = pSurface->Row(y);
        for (LONG x = d.left; x < d.right; ++x) {
            std::uint32_t s;
            const double fx = (x - full.left + 0.5) * sx - 0.5, fy = (y - full.top + 0.5) * sy - 0.5;
            if (!bSmooth) {
                const int ix = std::clamp(int((x - full.left) * sx), 0, src.Width() - 1);
                const int iy = std::clamp(int((y - full.top) * sy), 0, src.Height() - 1);
                s = src.Pixel(ix, iy);
            } else {
                const int x0 = std::clamp(int(std::floor(fx)), 0, src.Width() - 1);
                const int y0 = std::clamp(int(std::floor(fy)), 0, src.Height() - 1);
                const int x1 = std::min(x0 + 1, src.Width() - 1), y1 = std::min(y0 + 1, src.Height() - 1);
                const double ax = std::clamp(fx - std::floor(fx), 0.0, 1.0), ay = std::clamp(fy - std::floor(fy), 0.0, 1.0);
                s = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    auto c = [&](int px, int py) { return double((src.Pixel(px, py) >> shift) & 0xFF); };
                    const double top = c(x0, y0) * (1 - ax) + c(x1, y0) * ax;
                    const double bottom = c(x0, y1) * (1 - ax) + c(x1, y1) * ax;
                    s |= std::uint32_t(std::lround(top * (1 - ay) + bottom * ay)) << shift;
                }
            }
            const std::uint32_t a = CBitmap32::Alpha(s);
            row[x] = a == 255 ? s : s + CBitmap32::ScalePixel(row[x], static_cast<std::uint8_t>(255 - a));
        }
    }
    return TRUE;
}

void CDC::DrawFocusRect(const RECT* rc)
{
    if (!pSurface || IsRectEmpty(rc))
        return;
    RECT dev = *rc;
    LPtoDP(&dev);
    const RECT clip = rcToDevice(*rc);
    auto invert = [&](LONG x, LONG y) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom && ((x + y) & 1) == 0)
            pSurface->Row(y)[x] ^= 0x00FFFFFFu;
    };
    for (LONG x = dev.left; x < dev.right; ++x) {
        invert(x, dev.top);
        if (dev.bottom - 1 > dev.top)
            invert(x, dev.bottom - 1);
    }
    for (LONG y = dev.top + 1; y < dev.bottom - 1; ++y) {
        invert(dev.left, y);
        if (dev.right - 1 > dev.left)
            invert(dev.right - 1, y);
    }
}
