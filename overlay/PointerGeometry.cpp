// Hot spot parsing, opacity to alpha and placement.
#include "overlay/PointerGeometry.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool bIsSpace(QChar c)
{
    ushort u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

// wcstol in base 10, clamped to the 32-bit range; FALSE when no digit.
bool bParseLong(const QString& s, long long& value)
{
    qsizetype i = 0;
    while (i < s.size() && bIsSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long v = 0;
    bool any = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        any = true;
        if (v <= INT_MAX)
            v = v * 10 + (s[i].unicode() - '0');
    }
    if (!any)
        return false;
    if (v > INT_MAX)
        v = negative ? static_cast<long long>(INT_MAX) + 1 : INT_MAX;
    value = negative ? -v : v;
    return true;
}

} // namespace

namespace PointerGeometry {

int nHotSpotFromPath(const QString& strPath, int nImageWidth, int nImageHeight)
{
    QString name = QFileInfo(strPath).fileName();
    qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name.truncate(dot);
    qsizetype hyphen = name.lastIndexOf('-');
    if (hyphen <= 0)
        return -1;
    long long n = 0;
    if (!bParseLong(name.mid(hyphen + 1), n))
        return -1;
    if (n > nImageWidth || n > nImageHeight)
        return nImageWidth;
    return static_cast<int>(n);
}

std::uint8_t nAlphaFromOpacity(int nOpacity)
{
    if (nOpacity < 0)
        nOpacity = 0;
    if (nOpacity > 100)
        nOpacity = 100;
    return static_cast<std::uint8_t>(nOpacity * 255 / 100);
}

Placement Place(int x, int y, int nImageWidth, int nImageHeight, int nHotSpot)
{
    if (nHotSpot < 0)
        return {x - nImageWidth / 2, y - nImageHeight / 2};
    return {x - nHotSpot, y - nHotSpot};
}

double dScreenScale(double dDevicePixelRatio, int nXftDpi)
{
    double scale = std::max(dDevicePixelRatio, 1.0);
    if (nXftDpi >= 144)
        scale = std::max(scale, nXftDpi / 96.0);
    return scale;
}

Shown ScaleShown(int nWidth, int nHeight, int nHotSpot, int nPercent, double dScale, int nMaxSide)
{
    if (nWidth <= 0 || nHeight <= 0)
        return {0, 0, nHotSpot};
    double factor = nPercent / 100.0 * dScale;
    const int nLonger = std::max(nWidth, nHeight);
    if (nLonger * factor > nMaxSide)
        factor = static_cast<double>(nMaxSide) / nLonger;
    auto side = [factor](int n) { return std::max(1, static_cast<int>(std::lround(n * factor))); };
    const int nHot = nHotSpot < 0 ? -1 : static_cast<int>(std::lround(nHotSpot * factor));
    return {side(nWidth), side(nHeight), nHot};
}

} // namespace PointerGeometry
