// The click rings' window, frames and drawing. Presses arrive on the mouse
// thread and are queued to the UI thread, which owns the window and timer.
#include "overlay/ClickRings.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>

namespace {

// The ring's outer radius, at scale 1, at the end of its life.
constexpr double kMaxRadius = 34.0;
constexpr double kMinRadius = 8.0;
constexpr double kWidth = 5.0;

// How much of a pixel at distance d from the centre a band of radius r and
// half-width h covers, with a one-pixel soft edge.
double Coverage(double d, double r, double h)
{
    return std::clamp(h + 0.5 - std::fabs(d - r), 0.0, 1.0);
}

} // namespace

CClickRings::CClickRings()
{
    timer.setInterval(nFrameMs);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &timer, [this] { vFrame(); });
}

CClickRings::~CClickRings()
{
    bDestroy();
}

int CClickRings::nSideFor(double dScale)
{
    return static_cast<int>(std::ceil(2.0 * (kMaxRadius + kWidth + 2.0) * std::max(dScale, 1.0)));
}

void CClickRings::vDrawRing(CBitmap32& out, int nSide, double t, std::uint32_t rgb)
{
    if (out.Width() != nSide || out.Height() != nSide) {
        if (!out.bCreate(nSide, nSide))
            return;
    }
    t = std::clamp(t, 0.0, 1.0);
    const double scale = nSide / static_cast<double>(nSideFor(1.0));
    const double ease = 1.0 - (1.0 - t) * (1.0 - t); // fast out, slow in
    const double r = (kMinRadius + (kMaxRadius - kMinRadius) * ease) * scale;
    const double h = kWidth * (1.0 - 0.5 * t) * scale / 2.0;
    const double fade = 1.0 - t * t;
    const double c = nSide / 2.0;
    const auto red = static_cast<std::uint8_t>(rgb >> 16), green = static_cast<std::uint8_t>(rgb >> 8),
               blue = static_cast<std::uint8_t>(rgb);
    for (int y = 0; y < nSide; ++y) {
        std::uint32_t* row = out.Row(y);
        for (int x = 0; x < nSide; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            // A dark rim on both sides keeps the ring visible on light backgrounds.
            const double colour = Coverage(d, r, h);
            const double rim = std::max(Coverage(d, r, h + 1.5 * scale) - colour, 0.0);
            const double a = (colour + 0.55 * rim) * fade;
            const auto alpha = static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(a, 0.0, 1.0)));
            const double share = a > 0.0 ? colour * fade / a : 0.0;
            row[x] = CBitmap32::Premultiply(static_cast<std::uint8_t>(std::lround(red * share)),
                static_cast<std::uint8_t>(std::lround(green * share)),
                static_cast<std::uint8_t>(std::lround(blue * share)), alpha);
        }
    }
}

void CClickRings::vEnable(BOOL bEnable)
{
    bOn.store(bEnable ? TRUE : FALSE, std::memory_order_relaxed);
    if (!bEnable)
        bDestroy();
}

BOOL CClickRings::bDestroy()
{
    timer.stop();
    return window.bDestroy();
}

void CClickRings::vOnLButtonDown(UINT, int x, int y)
{
    vPress(x, y, FALSE);
}

void CClickRings::vOnRButtonDown(UINT, int x, int y)
{
    vPress(x, y, TRUE);
}

void CClickRings::vPress(int x, int y, BOOL bRight)
{
    if (!bOn.load(std::memory_order_relaxed))
        return;
    QMetaObject::invokeMethod(&timer, [this, x, y, bRight] { vStartRing(x, y, bRight); }, Qt::QueuedConnection);
}

void CClickRings::vStartRing(int x, int y, BOOL bRight)
{
    // A press queued just before the rings were switched off draws nothing.
    if (!bOn.load(std::memory_order_relaxed))
        return;
    if (!window.bExists()) {
        if (!window.bCreate())
            return;
    }
    nSide = nSideFor(dRingScale);
    clrRing = bRight ? clrRight : clrLeft;
    window.vSetHotSpot(nSide / 2, nSide / 2);
    clock.start();
    vDrawRing(picture, nSide, 0.0, clrRing);
    window.bUpdate(picture, 255);
    window.vMove(x - nSide / 2, y - nSide / 2);
    window.vShow(TRUE);
    timer.start();
}

void CClickRings::vFrame()
{
    const double t = clock.elapsed() / static_cast<double>(nDurationMs);
    if (t >= 1.0 || !window.bExists()) {
        timer.stop();
        window.vShow(FALSE);
        return;
    }
    vDrawRing(picture, nSide, t, clrRing);
    window.bUpdate(picture, 255);
}
