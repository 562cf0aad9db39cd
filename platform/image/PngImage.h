// PNG decoding with libpng straight into a premultiplied BGRA surface, for
// the overlay, the gallery cells and the preview.
#pragma once

#include "platform/image/Bitmap32.h"

#include <QString>

#include <cstddef>

class CPngImage {
public:
    // Largest side accepted. A header asking for more is refused before any
    // pixel memory is allocated, so a small file cannot demand gigabytes.
    static constexpr int nMaxSide = 4096;

    // Any colour type, bit depth, interlacing and tRNS; FALSE (and an empty
    // bitmap) for a missing, truncated, corrupt or oversized picture.
    static BOOL bDecodeFile(const QString& strPath, CBitmap32& bitmap);
    static BOOL bDecodeMemory(const void* pData, std::size_t nSize, CBitmap32& bitmap);

    static BOOL bAcceptableSize(unsigned long nWidth, unsigned long nHeight);
};
