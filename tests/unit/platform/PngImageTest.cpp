// PNG decoding into premultiplied BGRA: exact pixels for each colour type,
// and refusal of broken or oversized files.
#include "platform/image/PngImage.h"
#include "TestPng.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

CBitmap32 Decode(const std::vector<unsigned char>& bytes, BOOL* pOk = nullptr)
{
    CBitmap32 bmp;
    BOOL ok = CPngImage::DecodeMemory(bytes.data(), bytes.size(), 0, 0, bmp) == PngResult::Ok;
    if (pOk)
        *pOk = ok;
    return bmp;
}

// Rewrites the IHDR size fields and their CRC, as a hostile file would.
std::vector<unsigned char> WithHeaderSize(std::vector<unsigned char> png, std::uint32_t w, std::uint32_t h)
{
    auto put32 = [&](size_t at, std::uint32_t v) {
        png[at] = v >> 24;
        png[at + 1] = v >> 16;
        png[at + 2] = v >> 8;
        png[at + 3] = v;
    };
    // Signature (8), length (4), "IHDR" at 12, data at 16, CRC at 29.
    put32(16, w);
    put32(20, h);
    put32(29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

size_t FindChunk(const std::vector<unsigned char>& png, const char* type)
{
    for (size_t i = 8; i + 8 <= png.size();) {
        std::uint32_t len = (png[i] << 24) | (png[i + 1] << 16) | (png[i + 2] << 8) | png[i + 3];
        if (std::equal(type, type + 4, png.begin() + i + 4))
            return i;
        i += 12 + len;
    }
    return 0;
}

} // namespace

TEST(PngImage, RgbaIsPremultipliedExactly)
{
    TestPngRecipe s;
    s.nWidth = 2;
    s.nHeight = 2;
    s.raw = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 255, 255, 255, 64};
    BOOL ok = FALSE;
    CBitmap32 bmp = Decode(EncodeTestPng(s), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(bmp.Width(), 2);
    ASSERT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bmp.Pixel(1, 0), 0x80008000u);
    EXPECT_EQ(bmp.Pixel(0, 1), 0x00000000u);
    EXPECT_EQ(bmp.Pixel(1, 1), 0x40404040u);
}

TEST(PngImage, PaletteWithTransparencyGreyAndGreyAlpha)
{
    TestPngRecipe pal;
    pal.nWidth = 2;
    pal.nColorType = PNG_COLOR_TYPE_PALETTE;
    pal.palette = {{255, 0, 0}, {0, 0, 255}};
    pal.trnsAlpha = {128};
    pal.raw = {0, 1};
    CBitmap32 a = Decode(EncodeTestPng(pal));
    ASSERT_EQ(a.Width(), 2);
    EXPECT_EQ(a.Pixel(0, 0), 0x80800000u);
    EXPECT_EQ(a.Pixel(1, 0), 0xFF0000FFu);

    TestPngRecipe grey;
    grey.nWidth = 2;
    grey.nColorType = PNG_COLOR_TYPE_GRAY;
    grey.nBitDepth = 4;
    grey.raw = {0xF3}; // 15 -> 255, 3 -> 51
    CBitmap32 b = Decode(EncodeTestPng(grey));
    ASSERT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b.Pixel(1, 0), 0xFF333333u);

    TestPngRecipe greyKey = grey; // tRNS on a grey value becomes alpha 0
    greyKey.bTrnsColor = true;
    greyKey.trnsColor.gray = 3;
    CBitmap32 c = Decode(EncodeTestPng(greyKey));
    EXPECT_EQ(c.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(c.Pixel(1, 0), 0x00000000u);

    TestPngRecipe ga;
    ga.nColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    ga.raw = {200, 100}; // 200 * 100 / 255 = 78.4
    EXPECT_EQ(Decode(EncodeTestPng(ga)).Pixel(0, 0), 0x644E4E4Eu);
}

TEST(PngImage, SixteenBitAndInterlaced)
{
    TestPngRecipe deep;
    deep.nBitDepth = 16;
    // Little-endian words: r 16*257, g 32*257, b 48*257, a 65535.
    deep.raw = {0x10, 0x10, 0x20, 0x20, 0x30, 0x30, 0xFF, 0xFF};
    EXPECT_EQ(Decode(EncodeTestPng(deep)).Pixel(0, 0), 0xFF102030u);

    TestPngRecipe inter;
    inter.nWidth = 9;
    inter.nHeight = 7;
    inter.nColorType = PNG_COLOR_TYPE_RGB;
    inter.bInterlaced = true;
    for (int y = 0; y < inter.nHeight; ++y)
        for (int x = 0; x < inter.nWidth; ++x)
            inter.raw.insert(inter.raw.end(), {static_cast<unsigned char>(x * 20), static_cast<unsigned char>(y * 30), 7});
    CBitmap32 bmp = Decode(EncodeTestPng(inter));
    ASSERT_EQ(bmp.Width(), 9);
    ASSERT_EQ(bmp.Height(), 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(bmp.Pixel(x, y), 0xFF000007u | (x * 20u) << 16 | (y * 30u) << 8) << x << "," << y;
}

TEST(PngImage, BrokenFilesFailAndLeaveNothing)
{
    const std::vector<unsigned char> good = EncodeSolidPng(16, 16, 1, 2, 3, 255);
    ASSERT_FALSE(good.empty());

    BOOL ok = TRUE;
    std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G', '\n'};
    CBitmap32 bmp = Decode(text, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(bmp.IsEmpty());

    std::vector<unsigned char> cut(good.begin(), good.begin() + good.size() / 2);
    Decode(cut, &ok);
    EXPECT_FALSE(ok);

    std::vector<unsigned char> badCrc = good;
    size_t idat = FindChunk(badCrc, "IDAT");
    ASSERT_NE(idat, 0u);
    badCrc[idat + 8] ^= 0x55;
    Decode(badCrc, &ok);
    EXPECT_FALSE(ok);

    CBitmap32 missing;
    EXPECT_NE(CPngImage::Decode("/nonexistent/lumicue/arrow-4.png", 0, 0, missing), PngResult::Ok);
}

// A 40-byte-ish file claiming 100000 x 100000 pixels must not get 40 GB:
// under the sanitizers an attempt to allocate it aborts the test. The budget
// is read from the header alone: a file of nothing but its first 33 bytes is
// refused as too large, not as broken, and reports its size.
TEST(PngImage, PixelBudgetIsCheckedFromTheHeader)
{
    const std::vector<unsigned char> tiny = EncodeSolidPng(1, 1, 0, 0, 0, 255);
    CBitmap32 bmp;
    EXPECT_EQ(CPngImage::DecodeMemory(WithHeaderSize(tiny, 100000, 100000).data(), tiny.size(), 0, 0, bmp),
        PngResult::TooLarge);
    EXPECT_TRUE(bmp.IsEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.png");
    std::vector<unsigned char> head = WithHeaderSize(tiny, 6000, 6000); // 36 million pixels
    head.resize(33);
    ASSERT_TRUE(WriteTestFile(path, head));
    int w = 0, h = 0;
    EXPECT_EQ(CPngImage::Decode(path, 44, 44, bmp, &w, &h), PngResult::TooLarge);
    EXPECT_EQ(w, 6000);
    EXPECT_EQ(h, 6000);
    EXPECT_EQ(CPngImage::DecodeMemory(WithHeaderSize(tiny, 8193, 1).data(), tiny.size(), 0, 0, bmp), PngResult::TooLarge);
    // Within the budget the size is accepted; the missing rows then fail cleanly.
    EXPECT_EQ(CPngImage::DecodeMemory(WithHeaderSize(tiny, 8192, 2).data(), tiny.size(), 0, 0, bmp), PngResult::Unreadable);
    EXPECT_TRUE(CPngImage::bAcceptableSize(8192, 3906));
    EXPECT_FALSE(CPngImage::bAcceptableSize(8192, 3907));
    EXPECT_FALSE(CPngImage::bAcceptableSize(0, 5));
    unsigned long hw = 0, hh = 0;
    EXPECT_FALSE(CPngImage::bParseHeader(head.data(), 23, hw, hh));
}

// Scaled down, each pixel is the mean of its box (premultiplied); scaled up,
// the nearest pixel. An interlaced file gives the same picture.
TEST(PngImage, ScaledDecodeAveragesBoxesOfAKnownPicture)
{
    TestPngRecipe s;
    s.nWidth = 4;
    s.nHeight = 2;
    s.raw = {255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 0, 255, 0, 0,
        255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 0, 255, 0, 0};
    for (bool interlaced : {false, true}) {
        s.bInterlaced = interlaced;
        const std::vector<unsigned char> png = EncodeTestPng(s);
        CBitmap32 bmp;
        ASSERT_EQ(CPngImage::DecodeMemory(png.data(), png.size(), 2, 1, bmp), PngResult::Ok);
        ASSERT_EQ(bmp.Width(), 2);
        EXPECT_EQ(bmp.Pixel(0, 0), 0xFF800080u) << "red and blue";           // 127.5 rounds up
        EXPECT_EQ(bmp.Pixel(1, 0), 0x80008000u) << "green and transparent";  // premultiplied mean
        ASSERT_EQ(CPngImage::DecodeMemory(png.data(), png.size(), 8, 3, bmp), PngResult::Ok);
        EXPECT_EQ(bmp.Pixel(0, 2), 0xFFFF0000u);
        EXPECT_EQ(bmp.Pixel(3, 0), 0xFF0000FFu);
        EXPECT_EQ(bmp.Pixel(7, 1), 0u);
    }
}

TEST(PngImage, ScaledDecodeOfABrokenFileLeavesNothing)
{
    const std::vector<unsigned char> good = EncodeSolidPng(64, 64, 9, 9, 9, 255);
    const std::vector<unsigned char> cut(good.begin(), good.begin() + good.size() - 20);
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.png");
    ASSERT_TRUE(WriteTestFile(path, cut));
    CBitmap32 bmp;
    EXPECT_EQ(CPngImage::Decode(path, 44, 44, bmp), PngResult::Unreadable);
    EXPECT_TRUE(bmp.IsEmpty());
    EXPECT_EQ(CPngImage::Decode(dir.path(), 44, 44, bmp), PngResult::Unreadable) << "a folder";
    // A decode cancelled (the program ending) stops before its first row.
    const QString whole = dir.filePath("whole.png");
    ASSERT_TRUE(WriteTestFile(whole, good));
    const std::atomic<bool> bCancel{true};
    EXPECT_EQ(CPngImage::Decode(whole, 0, 0, bmp, nullptr, nullptr, &bCancel), PngResult::Unreadable);
    EXPECT_TRUE(bmp.IsEmpty());
}

TEST(PngImage, DecodesFromFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("disc-3.png");
    ASSERT_TRUE(WriteTestFile(path, EncodeSolidPng(5, 4, 255, 255, 0, 255)));
    CBitmap32 bmp;
    ASSERT_EQ(CPngImage::Decode(path, 0, 0, bmp), PngResult::Ok);
    EXPECT_EQ(bmp.Width(), 5);
    EXPECT_EQ(bmp.Height(), 4);
    EXPECT_EQ(bmp.Pixel(4, 3), 0xFFFFFF00u);
}
