// Byte layout of the option record: little-endian integers and the wide
// archive string (FF FE FF, the length, UTF-16LE units).
#include "OptionRecord.h"

#include <fstream>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::u16string Utf16(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else { cp = c & 0x07; n = 4; }
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

} // namespace

std::vector<uint8_t> COptionRecord::Bytes() const
{
    std::vector<uint8_t> out;
    Put32(out, static_cast<uint32_t>(bValid));
    Put32(out, static_cast<uint32_t>(bAutoCheckUpdate));
    Put32(out, static_cast<uint32_t>(nOpacity));
    std::u16string path = Utf16(strPointerFile);
    out.insert(out.end(), {0xFF, 0xFE, 0xFF});
    if (path.size() < 0xFF) {
        out.push_back(static_cast<uint8_t>(path.size()));
    } else {
        out.insert(out.end(), {0xFF, static_cast<uint8_t>(path.size()), static_cast<uint8_t>(path.size() >> 8)});
    }
    for (char16_t u : path) {
        out.push_back(static_cast<uint8_t>(u));
        out.push_back(static_cast<uint8_t>(u >> 8));
    }
    for (int32_t v : {hotKey.bValid, hotKey.bAlt, hotKey.bCtrl, hotKey.bShift, hotKey.nVirtKey, hotKey.bWin,
                      hotKey.bExtended})
        Put32(out, static_cast<uint32_t>(v));
    return out;
}

bool COptionRecord::bWrite(const std::string& strPath) const
{
    auto bytes = Bytes();
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
