// A device context over a 32-bit surface: the GDI operations the dialogs
// and the gallery draw with (fills, frames, pattern brushes with raster
// operations, block transfers, alpha-blended stretching, focus rectangles),
// the text colours and font a control's colour request answers with, a
// window origin, a clip box and a saved-state stack.
#pragma once

#include "platform/Win32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Font.h"

#include <vector>

class CBitmap;
class CBitmap32;

// Raster operations.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
// Destination AND pattern.
constexpr DWORD ROP_DPA = 0x00A000C9;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// GetClipBox answers.
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

class CDC {
public:
    // A context with no surface yet (a memory context selects one in).
    CDC();
    // A context drawing on the surface (not owned).
    explicit CDC(CBitmap32* pSurface);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context: draws on whatever bitmap is selected into it.
    BOOL CreateCompatibleDC(CDC* pDC);
    CBitmap32* GetSurface() const { return pSurface; }

    CBitmap* SelectObject(CBitmap* pBitmap);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CFont* GetCurrentFont() const { return state.pFont; }

    COLORREF SetTextColor(COLORREF clr);
    COLORREF GetTextColor() const { return state.clrText; }
    COLORREF SetBkColor(COLORREF clr);
    COLORREF GetBkColor() const { return state.clrBk; }
    int SetBkMode(int nMode);

    // Logical point (x, y) lies at device point (x - org.x, y - org.y).
    POINT SetWindowOrg(int x, int y);
    void LPtoDP(POINT* pt) const;
    void DPtoLP(POINT* pt) const;
    void LPtoDP(RECT* rc) const;
    void DPtoLP(RECT* rc) const;

    // The clip box in logical coordinates.
    int GetClipBox(RECT* rc) const;
    // Narrows the clip box to the logical rectangle.
    int IntersectClipRect(const RECT* rc);

    int SaveDC();
    // nSavedDC -1 restores the state saved last.
    BOOL RestoreDC(int nSavedDC);

    void FillSolidRect(const RECT* rc, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void FillRect(const RECT* rc, CBrush* pBrush);
    // Top and left sides in one colour, right and bottom in the other.
    void Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    // The selected brush combined with the destination by the raster operation.
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    // The premultiplied picture stretched into the rectangle and blended over
    // what is there; bSmooth interpolates, otherwise the nearest pixel.
    BOOL AlphaBlendStretch(const RECT* rcDest, const CBitmap32& src, BOOL bSmooth);
    // A dotted frame that inverts what it covers: drawn twice, it is gone.
    void DrawFocusRect(const RECT* rc);

    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF clr);

protected:
    struct State {
        POINT ptOrg;
        RECT rcClip;     // device coordinates
        BOOL bClipSet = FALSE;
        COLORREF clrText = RGB(0, 0, 0);
        COLORREF clrBk = RGB(255, 255, 255);
        int nBkMode = OPAQUE;
        CFont* pFont = nullptr;
        CBrush* pBrush = nullptr;
    };

    // The device rectangle of a logical one, cut to the surface and clip.
    RECT rcToDevice(const RECT& rc) const;
    void vApplyRop(int x, int y, int w, int h, DWORD rop, const CDC* src, int xs, int ys);

    CBitmap32* pSurface = nullptr;
    CBitmap* pSelectedBitmap = nullptr;
    State state;
    std::vector<State> saved;
};

// The surface pixel (0xAARRGGBB, opaque) of a colour, and back.
std::uint32_t PixelOfColor(COLORREF clr);
COLORREF ColorOfPixel(std::uint32_t px);
