// A private X server for one test: Xvfb picks a free display number itself
// and writes it to a pipe once it accepts connections (-displayfd).
#pragma once

#include "ChildProcess.h"

#include <string>

class CXvfbServer {
public:
    // Starts Xvfb with one 1280x800 screen of nDepth bits (without the
    // Composite extension, and so without a 32-bit visual, when bComposite
    // is false); false when it did not come up.
    bool bStart(const std::string& strLogPath, const CDeadline& deadline, int nDepth = 24, bool bComposite = true);
    void vStop();

    const std::string& strDisplay() const { return strName; }  // ":N"
    CChildProcess& Process() { return process; }

    static constexpr int nWidth = 1280;
    static constexpr int nHeight = 800;

private:
    CChildProcess process;
    std::string strName;
};
