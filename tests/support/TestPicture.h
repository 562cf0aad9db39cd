// A straight (not premultiplied) RGBA picture that a test draws pixel by
// pixel and writes as an 8-bit RGBA PNG for the program to load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTestPicture {
public:
    CTestPicture(int nWidth, int nHeight, uint32_t argb = 0);

    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    void vSet(int x, int y, uint32_t argb);
    uint32_t Get(int x, int y) const;
    void vFill(uint32_t argb);

    bool bWritePng(const std::string& strPath) const;

private:
    int nWidth;
    int nHeight;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB
};
