// The accessibility bus and tests/display/a11y-tree.py, its reader.
#include "A11yReader.h"

#include <cstdio>
#include <sstream>

bool CA11yReader::bStart(const CTestDirectory& dir, const std::string& strDisplayIn)
{
    pDir = &dir;
    strDisplay = strDisplayIn;
    strBus = "unix:path=" + BusSocket().string();
    CChildProcess::Options o;
    o.argv = {"dbus-daemon", "--session", "--nofork", "--address=" + strBus};
    // The accessibility bus it starts puts its socket in the runtime
    // folder: the test's own, so that tests side by side do not share one.
    o.env = {"PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string()};
    o.strLogPath = (dir.LogDir() / "dbus.log").string();
    return bus.bStart(o);
}

std::filesystem::path CA11yReader::BusSocket() const
{
    return pDir->RuntimeDir() / "bus";
}

std::vector<std::string> CA11yReader::Env() const
{
    return {"DBUS_SESSION_BUS_ADDRESS=" + strBus, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"};
}

std::vector<A11yObject> CA11yReader::Tree(const std::string& strRole, const std::string& strName, int nSeconds)
{
    CChildProcess reader;
    CChildProcess::Options o;
    o.argv = {"/usr/bin/python3", LUMICUE_SOURCE_DIR "/tests/display/a11y-tree.py", "lumicue"};
    if (nSeconds > 0)
        o.argv.insert(o.argv.end(), {strRole, strName, std::to_string(nSeconds)});
    o.env = {"DISPLAY=" + strDisplay, "DBUS_SESSION_BUS_ADDRESS=" + strBus, "PATH=/usr/bin:/bin",
        "HOME=" + pDir->Home().string(), "XDG_RUNTIME_DIR=" + pDir->RuntimeDir().string()};
    o.strLogPath = (pDir->LogDir() / ("a11y-" + std::to_string(++nReads) + ".txt")).string();
    std::vector<A11yObject> out;
    if (!reader.bStart(o) || !reader.bWaitExit(CDeadline::Seconds(nSeconds + 40)))
        return out;
    std::istringstream text(reader.strLogText());
    for (std::string line; std::getline(text, line);) {
        A11yObject obj;
        std::istringstream fields(line);
        std::string extents;
        std::getline(fields, obj.strRole, '\t');
        std::getline(fields, obj.strName, '\t');
        std::getline(fields, obj.strDescription, '\t');
        std::getline(fields, extents, '\t');
        std::sscanf(extents.c_str(), "%d,%d,%d,%d", &obj.rc.x, &obj.rc.y, &obj.rc.width, &obj.rc.height);
        out.push_back(obj);
    }
    return out;
}

bool CA11yReader::bFind(const std::string& strRole, const std::string& strName, std::vector<A11yObject>* tree)
{
    std::vector<A11yObject> found = Tree(strRole, strName, 90);
    const bool bFound = bHas(found, strRole, strName);
    if (tree)
        *tree = std::move(found);
    return bFound;
}

bool CA11yReader::bHas(const std::vector<A11yObject>& tree, const std::string& strRole, const std::string& strName,
    A11yObject* found)
{
    for (const A11yObject& o : tree) {
        if (o.strRole == strRole && o.strName == strName) {
            if (found)
                *found = o;
            return true;
        }
    }
    return false;
}
