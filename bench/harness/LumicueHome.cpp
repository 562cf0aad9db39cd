// Preparing the install folder, picture and option file of a Lumicue run.
#include "harness/LumicueHome.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void vPutInt(std::string& out, int value)
{
    const unsigned u = static_cast<unsigned>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// A soft disc with a ring: straight (not premultiplied) RGBA rows, as PNG stores them.
std::vector<unsigned char> PictureRows(int size)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 4);
    const double c = (size - 1) / 2.0, r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c) / r;
            unsigned char* p = &pixels[(static_cast<size_t>(y) * size + x) * 4];
            const bool ring = d > 0.8 && d <= 1.0;
            p[0] = ring ? 40 : 255;
            p[1] = ring ? 40 : 200;
            p[2] = ring ? 40 : 0;
            p[3] = d > 1.0 ? 0 : ring ? 255 : static_cast<unsigned char>(220 * (1.0 - d / 2));
        }
    return pixels;
}

std::u16string Utf16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace

std::string CLumicueHome::OptionBytes(const std::u16string& pointerFile, int opacity, int virtKey)
{
    std::string out;
    vPutInt(out, 1); // bValid
    vPutInt(out, 0); // bAutoCheckUpdate: no network during a benchmark
    vPutInt(out, opacity);
    out += "\xFF\xFE\xFF";
    out += static_cast<char>(pointerFile.size()); // callers keep paths below 255 units
    for (char16_t unit : pointerFile) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    for (int value : {1, 0, 0, 0, virtKey, 0, 0}) // bValid, bAlt, bCtrl, bShift, nVirtKey, bWin, bExtended
        vPutInt(out, value);
    return out;
}

bool CLumicueHome::bWritePicture(const std::string& path, int size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> pixels = PictureRows(size);
    bool ok = false;
    if (info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < size; ++y)
            png_write_row(png, &pixels[static_cast<size_t>(y) * size * 4]);
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

bool CLumicueHome::bPrepare(const std::string& root, const std::string& programPath, int pictureSize)
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
    const fs::path languages = fs::path(programPath).parent_path() / "Language";
    if (fs::is_directory(languages))
        fs::copy(languages, app / "Language", fs::copy_options::recursive, ec);

    // The only picture in the gallery, so start-up keeps it as the chosen one.
    const std::string picture = (app / "pointer" / "bench.png").string();
    if (picture.size() >= 255 || !bWritePicture(picture, pictureSize))
        return false;
    std::ofstream option(fs::path(root) / "config" / "Lumicue" / "AppOption.data", std::ios::binary);
    option << OptionBytes(Utf16(picture), kOpacity, kVkF8);
    return static_cast<bool>(option.flush());
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
