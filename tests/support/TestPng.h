// Builds PNG files of any colour type in memory with libpng's writer, so the
// tests check exact pixels of pictures they made.
#pragma once

#include <png.h>

#ifdef QT_CORE_LIB
#include <QFile>
#include <QString>
#endif

#include <cstdio>
#include <string>
#include <vector>

struct TestPngRecipe {
    int nWidth = 1;
    int nHeight = 1;
    int nColorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int nBitDepth = 8;
    bool bInterlaced = false;
    std::vector<unsigned char> raw; // packed rows, as PNG stores them
    std::vector<png_color> palette;
    std::vector<png_byte> trnsAlpha;   // palette transparency
    bool bTrnsColor = false;           // grey / RGB transparency
    png_color_16 trnsColor{};
};

inline std::vector<unsigned char> EncodeTestPng(const TestPngRecipe& s)
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, s.nWidth, s.nHeight, s.nBitDepth, s.nColorType,
        s.bInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.trnsAlpha.empty())
        png_set_tRNS(png, info, s.trnsAlpha.data(), static_cast<int>(s.trnsAlpha.size()), nullptr);
    if (s.bTrnsColor)
        png_set_tRNS(png, info, nullptr, 0, &s.trnsColor);
    png_write_info(png, info);
    if (s.nBitDepth == 16)
        png_set_swap(png); // our raw samples are little-endian words
    const size_t rowBytes = s.raw.size() / s.nHeight;
    std::vector<png_bytep> rows(s.nHeight);
    for (int y = 0; y < s.nHeight; ++y)
        rows[y] = const_cast<png_bytep>(s.raw.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An RGBA picture, every pixel (r, g, b, a).
inline std::vector<unsigned char> EncodeSolidPng(int w, int h, unsigned char r, unsigned char g, unsigned char b,
    unsigned char a)
{
    TestPngRecipe s;
    s.nWidth = w;
    s.nHeight = h;
    for (int i = 0; i < w * h; ++i)
        s.raw.insert(s.raw.end(), {r, g, b, a});
    return EncodeTestPng(s);
}

inline bool WriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

#ifdef QT_CORE_LIB
inline bool WriteTestFile(const QString& path, const std::vector<unsigned char>& bytes)
{
    return WriteTestFile(QFile::encodeName(path).toStdString(), bytes);
}
#endif
