// GDI drawing on a premultiplied 32-bit surface.
#include "platform/ui/DC.h"

#include "platform/image/Bitmap32.h"
#include "platform/ui/GdiBitmap.h"

#include <algorithm>
#include <cmath>
#include <utility>

std::uint32_t PixelOfColor(COLORREF clr)
{
    return 0xFF000000u | (std::uint32_t(GetRValue(clr)) << 16) | (std::uint32_t(GetGValue(clr)) << 8) | GetBValue(clr);
}

COLORREF ColorOfPixel(std::uint32_t px)
{
    return RGB(CBitmap32::Red(px), CBitmap32::Green(px), CBitmap32::Blue(px));
}

namespace {

// The ternary raster operation (the code's second byte) on 24 colour bits.
std::uint32_t Rop3(BYTE code, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    std::uint32_t out = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        const std::uint32_t mp = (i & 4) ? p : ~p;
        const std::uint32_t ms = (i & 2) ? s : ~s;
        const std::uint32_t md = (i & 1) ? d : ~d;
        out |= mp & ms & md;
    }
    return out & 0x00FFFFFFu;
}

} // namespace

CDC::CDC() = default;

CDC::CDC(CBitmap32* surface) : pSurface(surface) {}

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC*)
{
    pSurface = nullptr;
    pSelectedBitmap = nullptr;
    state = State{};
    saved.clear();
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    CBitmap* old = pSelectedBitmap;
    pSelectedBitmap = pBitmap;
    pSurface = pBitmap && !pBitmap->IsMonochrome() ? &pBitmap->Surface() : nullptr;
    return old;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return std::exchange(state.pBrush, pBrush);
}

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

void CDC::DPtoLP(POINT* pt) const
{
    pt->x += state.ptOrg.x;
    pt->y += state.ptOrg.y;
}

void CDC::LPtoDP(RECT* rc) const
{
    OffsetRect(rc, -state.ptOrg.x, -state.ptOrg.y);
}

void CDC::DPtoLP(RECT* rc) const
{
    OffsetRect(rc, state.ptOrg.x, state.ptOrg.y);
}

int CDC::GetClipBox(RECT* rc) const
{
    RECT dev{0, 0, pSurface ? pSurface->Width() : 0, pSurface ? pSurface->Height() : 0};
    if (state.bClipSet)
        IntersectRect(&dev, &dev, &state.rcClip);
    *rc = dev;
    DPtoLP(rc);
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
    if (saved.empty())
        return FALSE;
    const size_t index = n < 0 ? saved.size() + n : static_cast<size_t>(n) - 1;
    if (index >= saved.size())
        return FALSE;
    state = saved[index];
    saved.resize(index);
    return TRUE;
}

RECT CDC::rcToDevice(const RECT& rc) const
{
    RECT dev = rc;
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
    // A rectangle given with negative extents is normalised, as GDI does.
    const RECT norm{std::min(rc->left, rc->right), std::min(rc->top, rc->bottom), std::max(rc->left, rc->right),
        std::max(rc->top, rc->bottom)};
    const RECT d = rcToDevice(norm);
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
    CBrush* old = SelectObject(pBrush);
    PatBlt(rc->left, rc->top, RectWidth(*rc), RectHeight(*rc), PATCOPY);
    SelectObject(old);
}

void CDC::Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(rc->left, rc->top, RectWidth(*rc), RectHeight(*rc), clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    // The framework's order: top and left first, then right and bottom over them.
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

void CDC::vApplyRop(int x, int y, int w, int h, DWORD rop, const CDC* src, int xs, int ys)
{
    if (!pSurface || w <= 0 || h <= 0)
        return;
    const RECT d = rcToDevice(RECT{x, y, x + w, y + h});
    POINT orgDev{x, y};
    LPtoDP(&orgDev);
    const BYTE code = static_cast<BYTE>(rop >> 16);
    const CBrush* brush = state.pBrush;
    const std::uint32_t text = PixelOfColor(state.clrText) & 0xFFFFFFu;
    const std::uint32_t bk = PixelOfColor(state.clrBk) & 0xFFFFFFu;
    POINT srcDev{xs, ys};
    if (src)
        src->LPtoDP(&srcDev);
    for (LONG dy = d.top; dy < d.bottom; ++dy) {
        std::uint32_t* row = pSurface->Row(dy);
        for (LONG dx = d.left; dx < d.right; ++dx) {
            std::uint32_t s = 0;
            if (src) {
                const LONG sx = srcDev.x + (dx - orgDev.x), sy = srcDev.y + (dy - orgDev.y);
                const CBitmap32* ss = src->pSurface;
                if (!ss || sx < 0 || sy < 0 || sx >= ss->Width() || sy >= ss->Height())
                    continue;
                s = ss->Pixel(sx, sy);
                if (rop == SRCCOPY) {
                    row[dx] = s;
                    continue;
                }
            }
            std::uint32_t p = 0;
            if (brush) {
                if (brush->GetKind() == CBrush::Kind::Hollow)
                    continue;
                if (brush->GetKind() == CBrush::Kind::Pattern)
                    p = brush->PatternBit(dx, dy) ? bk : text;
                else
                    p = PixelOfColor(brush->GetColor()) & 0xFFFFFFu;
            }
            row[dx] = (row[dx] & 0xFF000000u) | Rop3(code, p, s, row[dx]);
        }
    }
}

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    if (!pSurface)
        return FALSE;
    // Negative extents count from the far edge, as in GDI.
    if (nWidth < 0) {
        x += nWidth;
        nWidth = -nWidth;
    }
    if (nHeight < 0) {
        y += nHeight;
        nHeight = -nHeight;
    }
    vApplyRop(x, y, nWidth, nHeight, dwRop, nullptr, 0, 0);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    if (!pSurface || !pSrcDC || !pSrcDC->pSurface)
        return FALSE;
    vApplyRop(x, y, nWidth, nHeight, dwRop, pSrcDC, xSrc, ySrc);
    return TRUE;
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

COLORREF CDC::GetPixel(int x, int y) const
{
    POINT p{x, y};
    LPtoDP(&p);
    if (!pSurface || p.x < 0 || p.y < 0 || p.x >= pSurface->Width() || p.y >= pSurface->Height())
        return CLR_NONE;
    return ColorOfPixel(pSurface->Pixel(p.x, p.y));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF clr)
{
    const RECT d = rcToDevice(RECT{x, y, x + 1, y + 1});
    if (IsRectEmpty(&d))
        return CLR_NONE;
    pSurface->Row(d.top)[d.left] = PixelOfColor(clr);
    return clr;
}
