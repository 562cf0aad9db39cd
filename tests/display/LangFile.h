// Reads one value of a shipped language file, so that tests compare the
// program's window texts with what the file says instead of a copy of it.
#pragma once

#include <string>

class CLangFile {
public:
    // Loads UTF-8 (with or without BOM) or UTF-16LE with BOM.
    bool bLoad(const std::string& strPath);
    // The value of key in section (both without regard to case), UTF-8;
    // empty when absent.
    std::string strValue(const std::string& strSection, const std::string& strKey) const;

private:
    std::string strText;  // UTF-8
};
