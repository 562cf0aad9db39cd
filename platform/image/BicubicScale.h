// Resampling a premultiplied picture to another size with a bicubic filter
// (Catmull-Rom), widened when shrinking so every source pixel counts: what
// the overlay uses to show a picture larger or smaller than it is drawn.
#pragma once

#include "platform/image/Bitmap32.h"

// dst becomes src resampled to nWidth x nHeight; FALSE (dst empty) when src
// is empty, a size is below 1 or the memory cannot be had.
BOOL bScaleBicubic(const CBitmap32& src, int nWidth, int nHeight, CBitmap32& dst);
