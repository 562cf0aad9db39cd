// The colour channels of a surface pixel (0xAARRGGBB).
#pragma once

#include <cstdint>

inline int PixelRed(std::uint32_t px) { return (px >> 16) & 0xFF; }
inline int PixelGreen(std::uint32_t px) { return (px >> 8) & 0xFF; }
inline int PixelBlue(std::uint32_t px) { return px & 0xFF; }
