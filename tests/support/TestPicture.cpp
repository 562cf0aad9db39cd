// PNG output of the display tests' pictures through libpng.
#include "TestPicture.h"
#include "TestPng.h"

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
    TestPngRecipe recipe;
    recipe.nWidth = nWidth;
    recipe.nHeight = nHeight;
    for (uint32_t p : pixels)
        recipe.raw.insert(recipe.raw.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                             static_cast<unsigned char>(p), static_cast<unsigned char>(p >> 24)});
    const std::vector<unsigned char> bytes = EncodeTestPng(recipe);
    return !bytes.empty() && WriteTestFile(strPath, bytes);
}
