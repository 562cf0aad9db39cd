// A throw-away world for one Lumicue run: an install folder holding a copy of
// the program, its language files and one square picture as the whole
// gallery, and a HOME whose option file picks that picture and F8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CLumicueHome {
public:
    static constexpr int kPictureSize = 128;
    static constexpr int kOpacity = 75;

    // Builds the folders under root from the program at programPath.
    // The pointer is shown at pointerSize percent of the picture.
    bool bPrepare(const std::string& root, const std::string& programPath, int pictureSize = kPictureSize,
                  int pointerSize = 100);
    const std::string& Program() const { return strProgram; }
    // DISPLAY is added by the caller.
    std::vector<std::string> Environment() const;

    // A soft disc with an opaque ring of the colour 0xRRGGBB.
    static bool bWritePicture(const std::string& path, int size, uint32_t ringRgb = 0x282828);

private:
    std::string strRoot;
    std::string strProgram;
};
