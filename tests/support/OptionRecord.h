// The bytes of an "AppOption.data" record, written by tests, benchmarks and
// the demo themselves, so that the program's reader and writer are checked
// against the file layout and not against each other.
#pragma once

#include "platform/base/VirtualKeys.h"

#include <cstdint>
#include <string>
#include <vector>

struct OptionHotKey {
    int32_t bValid = 1, bAlt = 0, bCtrl = 0, bShift = 0, nVirtKey = VK_F8, bWin = 0, bExtended = 0;
};

class COptionRecord {
public:
    int32_t bValid = 1;
    int32_t bAutoCheckUpdate = 0;
    int32_t nOpacity = 75;
    std::string strPointerFile;  // UTF-8; stored as the wide archive string
    OptionHotKey hotKey;

    std::vector<uint8_t> Bytes() const;
    bool bWrite(const std::string& strPath) const;
};
