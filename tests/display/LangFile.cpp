// A small INI reader for the tests: sections and keys without regard to case,
// blanks around keys and values dropped.
#include "LangFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Trim(const std::string& s)
{
    const char* blanks = " \t\r\n";
    size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

bool CLangFile::bLoad(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream raw;
    raw << in.rdbuf();
    std::string bytes = raw.str();
    strText.clear();
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            char32_t u = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
                char32_t lo = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                i += 2;
            }
            AppendUtf8(strText, u);
        }
    } else if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        strText = bytes.substr(3);
    } else {
        strText = bytes;
    }
    return true;
}

std::string CLangFile::strValue(const std::string& strSection, const std::string& strKey) const
{
    std::istringstream lines(strText);
    std::string line, section;
    const std::string wantSection = Lower(strSection), wantKey = Lower(strKey);
    while (std::getline(lines, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '[') {
            size_t end = t.find(']');
            section = Lower(Trim(t.substr(1, end == std::string::npos ? std::string::npos : end - 1)));
            continue;
        }
        size_t eq = t.find('=');
        if (eq == std::string::npos || section != wantSection)
            continue;
        if (Lower(Trim(t.substr(0, eq))) == wantKey) {
            std::string value = Trim(t.substr(eq + 1));
            if (!value.empty())
                return value;
        }
    }
    return {};
}
