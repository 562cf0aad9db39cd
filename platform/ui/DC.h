// A device context over a 32-bit surface: the GDI operations the dialogs
// and the gallery draw with (fills, frames, brush fills, alpha-blended
// stretching, focus rectangles),
// the text colours and font a control's colour request answers with, a
// window origin, a clip box and a saved-state stack.
#pragma once

#include "platform/base/Win32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Font.h"

#include <vector>

class CBitmap32;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// GetClipBox answers.
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

class CDC {
public:
    // A context with no surface: drawing goes nowhere.
    CDC();
    // A context drawing on the surface (not owned).
    explicit CDC(CBitmap32* pSurface);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    CBitmap32* GetSurface() const { return pSurface; }

    CFont* SelectObject(CFont* pFont);
    CFont* GetCurrentFont() const { return state.pFont; }

    COLORREF SetTextColor(COLORREF clr);
    COLORREF GetTextColor() const { return state.clrText; }
    COLORREF SetBkColor(COLORREF clr);
    int SetBkMode(int nMode);

    // Logical point (x, y) lies at device point (x - org.x, y - org.y).
    POINT SetWindowOrg(int x, int y);
    void LPtoDP(POINT* pt) const;
    void LPtoDP(RECT* rc) const;

    // The clip box in logical coordinates.
    int GetClipBox(RECT* rc) const;
    // Narrows the clip box to the logical rectangle.
    int IntersectClipRect(const RECT* rc);

    int SaveDC();
    // nSavedDC -1 restores the state saved last.
    BOOL RestoreDC(int nSavedDC);

    void FillSolidRect(const RECT* rc, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    // The brush's colour or pattern over the rectangle (a hollow brush leaves
    // it as it is); the surface keeps its alpha.
    void FillRect(const RECT* rc, CBrush* pBrush);
    // Top and left sides in one colour, right and bottom in the other.
    void Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    // The premultiplied picture stretched into the rectangle and blended over
    // what is there; bSmooth interpolates, otherwise the nearest pixel.
    BOOL AlphaBlendStretch(const RECT* rcDest, const CBitmap32& src, BOOL bSmooth);
    // A dotted frame that inverts what it covers: drawn twice, it is gone.
    void DrawFocusRect(const RECT* rc);

protected:
    struct State {
        POINT ptOrg;
        RECT rcClip;     // device coordinates
        BOOL bClipSet = FALSE;
        COLORREF clrText = RGB(0, 0, 0);
        COLORREF clrBk = RGB(255, 255, 255);
        int nBkMode = OPAQUE;
        CFont* pFont = nullptr;
    };

    // The device rectangle of a logical one, cut to the surface and clip.
    RECT rcToDevice(const RECT& rc) const;

    CBitmap32* pSurface = nullptr;
    State state;
    std::vector<State> saved;
};
