// The fixture of the Wayland display tests: a private session bus with a
// dbus-monitor logging it, a private file tree, a headless compositor, and
// the real program started in that session. Every wait is for a line in a
// log file (woken by inotify) or a process's end, with a deadline.
#pragma once

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TestDirectory.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CWaylandSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // As root: a throw-away user (removed at the end) that owns the file
    // tree and runs the bus and the program from then on, for compositors
    // that refuse root. Run as anyone else: nothing to do.
    bool bBecomeThrowAwayUser();
    // Once every process of the user has ended.
    void vRemoveThrowAwayUser();
    // Hands a file made after that to the user.
    bool bGiveToUser(const std::filesystem::path& path) const;
    // argv run as the session's user.
    std::vector<std::string> AsUser(const std::vector<std::string>& argv) const;
    // The bus, its monitor; FALSE (and a failure) when they cannot start.
    bool bStartBus();
    // Waits until the file's text, from offset nFrom, contains every needle
    // in that order; returns the offset just past the last one, or npos.
    std::size_t nWaitForText(const std::filesystem::path& file, const std::vector<std::string>& needles,
        std::size_t nFrom = 0, int nSeconds = 20);
    std::string strRead(const std::filesystem::path& file) const;
    // Starts the installed program in the compositor's session; the process
    // stays the fixture's. env: the compositor's variables (NAME=value).
    CChildProcess& Launch(const std::vector<std::string>& args, const std::vector<std::string>& env);
    int nWaitExit(CChildProcess& process, int nSeconds = 15);
    // A picture (pure red, opaque, 64 x 64, hot spot 32) and the options
    // that choose it at full opacity with F8.
    bool bWritePictureAndOptions();

    std::string strBusAddress;
    CTestDirectory dir;
    CChildProcess bus;
    CChildProcess monitor;
    std::vector<std::unique_ptr<CChildProcess>> programs;
    std::filesystem::path monitorLog;
    std::string strUser; // the throw-away user; empty: our own
    unsigned nUserId = 0, nGroupId = 0;

    static constexpr int kPictureSize = 64;
    static constexpr int kHotSpot = 32;
};
