// Preparing the install folder, picture and option file of a Lumicue run.
#include "harness/LumicueHome.h"

#include "OptionRecord.h"
#include "TestPicture.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

// A soft disc with a ring, in straight (not premultiplied) ARGB.
bool CLumicueHome::bWritePicture(const std::string& path, int size, uint32_t ringRgb)
{
    CTestPicture picture(size, size);
    const double c = (size - 1) / 2.0, r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c) / r;
            const bool ring = d > 0.8 && d <= 1.0;
            const uint32_t alpha = d > 1.0 ? 0 : ring ? 255 : static_cast<uint32_t>(220 * (1.0 - d / 2));
            picture.vSet(x, y, alpha << 24 | (ring ? ringRgb : 0xFFC800u));
        }
    return picture.bWritePng(path);
}

bool CLumicueHome::bPrepare(const std::string& root, const std::string& programPath, int pictureSize,
                            int pointerSize)
{
    std::error_code ec;
    strRoot = root;
    const fs::path app = fs::path(root) / "app";
    fs::create_directories(app / "pointer", ec);
    fs::create_directories(fs::path(root) / "home", ec);
    fs::create_directories(fs::path(root) / "config" / "Lumicue", ec);
    fs::create_directories(fs::path(root) / "run", ec);
    chmod((fs::path(root) / "run").c_str(), 0700);

    // A copy, not a link: the program finds its folders beside /proc/self/exe.
    strProgram = (app / "lumicue").string();
    if (!fs::copy_file(programPath, strProgram, fs::copy_options::overwrite_existing, ec))
        return false;
    // Its language files, and the script it hands KWin on a KDE session.
    for (const char* folder : {"Language", "kwin"}) {
        const fs::path from = fs::path(programPath).parent_path() / folder;
        if (fs::is_directory(from))
            fs::copy(from, app / folder, fs::copy_options::recursive, ec);
    }

    // The only picture in the gallery, so start-up keeps it as the chosen one.
    const std::string picture = (app / "pointer" / "bench.png").string();
    if (picture.size() >= 255 || !bWritePicture(picture, pictureSize))
        return false;
    COptionRecord option;  // F8, no update check: no network during a benchmark
    option.nOpacity = kOpacity;
    option.strPointerFile = picture;
    const fs::path data = fs::path(root) / "config" / "Lumicue";
    if (pointerSize != 100) {
        std::ofstream config(data / "Config.ini");
        config << "[Options]\nPointerSize=" << pointerSize << "\n";
        if (!config.flush())
            return false;
    }
    return option.bWrite((data / "AppOption.data").string());
}

std::vector<std::string> CLumicueHome::Environment() const
{
    return {"HOME=" + strRoot + "/home",
            "XDG_CONFIG_HOME=" + strRoot + "/config",
            "XDG_RUNTIME_DIR=" + strRoot + "/run",
            "QT_QPA_PLATFORM=xcb",
            "WAYLAND_DISPLAY=",
            // No session bus: keeps the run private and Qt from starting one.
            "DBUS_SESSION_BUS_ADDRESS=disabled:",
            "LC_ALL=C.UTF-8"};
}
