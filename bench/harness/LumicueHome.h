// A throw-away world for one Lumicue run: an install folder holding a copy of
// the program, its language files and one 128 x 128 picture as the whole
// gallery, and a HOME whose option file picks that picture and F8.
#pragma once

#include <string>
#include <vector>

class CLumicueHome {
public:
    static constexpr int kPictureSize = 128;
    static constexpr int kOpacity = 75;

    // Builds the folders under root from the program at programPath.
    bool bPrepare(const std::string& root, const std::string& programPath);
    const std::string& Program() const { return strProgram; }
    // DISPLAY is added by the caller.
    std::vector<std::string> Environment() const;

    static bool bWritePicture(const std::string& path, int size);

private:
    std::string strRoot;
    std::string strProgram;
};
