// Xvfb start-up: the display number is read from the -displayfd pipe.
#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

bool CXvfbServer::bStart(const std::string& strLogPath, const CDeadline& deadline, int nDepth, bool bComposite)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    CChildProcess::Options options;
    options.argv = {"Xvfb", "-displayfd", std::to_string(fds[1]),
                    "-screen", "0", std::to_string(nWidth) + "x" + std::to_string(nHeight) + "x" + std::to_string(nDepth),
                    "-nolisten", "tcp", "-noreset"};
    if (!bComposite)
        options.argv.insert(options.argv.end(), {"-extension", "Composite"});
    const char* path = getenv("PATH");
    options.env = {std::string("PATH=") + (path ? path : "/usr/bin:/bin")};
    options.strLogPath = strLogPath;
    options.nKeepFd = fds[1];
    bool bStarted = process.bStart(options);
    close(fds[1]);
    std::string strRead;
    while (bStarted && strRead.find('\n') == std::string::npos) {
        pollfd p[2] = {{fds[0], POLLIN, 0}, {process.PidFd(), POLLIN, 0}};
        int n = poll(p, 2, deadline.nRemainingMs());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (p[0].revents == 0 && p[1].revents != 0))
            break;  // time-out, or the server died before it was ready
        char buf[32];
        ssize_t got = read(fds[0], buf, sizeof buf);
        if (got <= 0)
            break;
        strRead.append(buf, static_cast<size_t>(got));
    }
    close(fds[0]);
    if (strRead.find('\n') == std::string::npos) {
        process.vStop();
        return false;
    }
    strName = ":" + strRead.substr(0, strRead.find('\n'));
    return true;
}

void CXvfbServer::vStop()
{
    // Xvfb needs about two seconds to honour SIGTERM; killing it and removing
    // its lock file and socket ourselves keeps every test short.
    process.vStop();
    if (strName.size() > 1) {
        const std::string number = strName.substr(1);
        unlink(("/tmp/.X" + number + "-lock").c_str());
        unlink(("/tmp/.X11-unix/X" + number).c_str());
        strName.clear();
    }
}
