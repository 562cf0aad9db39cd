// Fuzzes the PNG decoder with whatever bytes a picture file may hold.
#include "platform/image/Bitmap32.h"
#include "platform/image/PngImage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CBitmap32 bitmap;
    CPngImage::DecodeMemory(data, size, 0, 0, bitmap);
    return 0;
}
