// PNG output of the display tests' pictures through libpng.
#include "TestPicture.h"

#include <png.h>

#include <cstdio>

CTestPicture::CTestPicture(int w, int h, uint32_t argb)
    : nWidth(w), nHeight(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), argb)
{
}

void CTestPicture::vSet(int x, int y, uint32_t argb)
{
    pixels[static_cast<size_t>(y) * static_cast<size_t>(nWidth) + static_cast<size_t>(x)] = argb;
}

uint32_t CTestPicture::Get(int x, int y) const
{
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(nWidth) + static_cast<size_t>(x)];
}

void CTestPicture::vFill(uint32_t argb)
{
    for (auto& p : pixels)
        p = argb;
}

bool CTestPicture::bWritePng(const std::string& strPath) const
{
    FILE* file = fopen(strPath.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(nWidth) * 4);
    bool bOk = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(nWidth), static_cast<png_uint_32>(nHeight), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < nHeight; ++y) {
            for (int x = 0; x < nWidth; ++x) {
                uint32_t p = Get(x, y);
                png_byte* out = &row[static_cast<size_t>(x) * 4];
                out[0] = static_cast<png_byte>(p >> 16);
                out[1] = static_cast<png_byte>(p >> 8);
                out[2] = static_cast<png_byte>(p);
                out[3] = static_cast<png_byte>(p >> 24);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        bOk = true;
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return fclose(file) == 0 && bOk;
}
