// PNG decoding with libpng straight into a premultiplied BGRA surface, for
// the overlay, the gallery cells and the preview: at the picture's own size,
// or scaled down (box filter) or up (nearest pixel) to the size it is shown
// at, row by row, without ever holding the whole picture.
#pragma once

#include "platform/image/Bitmap32.h"

#include <QString>

#include <atomic>
#include <cstddef>

enum class PngResult {
    Ok,
    Unreadable, // missing, not a regular file, truncated, corrupt, foreign
    TooLarge,   // the header asks for more than the pixel budget
};

class CPngImage {
public:
    // The pixel budget: a picture wider or higher than nMaxSide, or with
    // more than nMaxPixels, is refused from its header, before any pixel
    // memory is allocated or any row is decoded.
    static constexpr int nMaxSide = 8192;
    static constexpr long long nMaxPixels = 32'000'000;
    // Largest scaled size asked for (thumbnails are far smaller).
    static constexpr int nMaxScaledSide = 1024;

    // Any colour type, bit depth, interlacing and tRNS, scaled to nWidth x
    // nHeight (both 0: its own size); a missing, truncated, corrupt or
    // oversized picture is not Ok and leaves the bitmap empty. The picture's
    // own size goes to *pSourceWidth / *pSourceHeight when the header could
    // be read, also when it is refused as too large. Once *pCancel is set the
    // decode ends before the next row, as Unreadable.
    static PngResult Decode(const QString& strPath, int nWidth, int nHeight, CBitmap32& bitmap,
        int* pSourceWidth = nullptr, int* pSourceHeight = nullptr, const std::atomic<bool>* pCancel = nullptr);
    static PngResult DecodeMemory(const void* pData, std::size_t nSize, int nWidth, int nHeight, CBitmap32& bitmap);

    // The size in the IHDR chunk of a PNG's first bytes (33 are enough).
    static BOOL bParseHeader(const void* pData, std::size_t nSize, unsigned long& nWidth, unsigned long& nHeight);
    static BOOL bAcceptableSize(unsigned long nWidth, unsigned long nHeight);
    // A regular file that starts as a PNG of an acceptable size: what can be
    // known of a picture without decoding it.
    static BOOL bHeaderAcceptable(const QString& strPath);
};
