// The program's controls as a screen reader finds them: a private session
// bus (the accessibility bus is started on it when asked for) and a reader
// that lists the showing objects with their role, name and place.
#pragma once

#include "ChildProcess.h"
#include "TestDirectory.h"
#include "TestDisplay.h"

#include <filesystem>
#include <string>
#include <vector>

struct A11yObject {
    std::string strRole, strName, strDescription;
    TestRect rc;
};

class CA11yReader {
public:
    // Starts the bus in the test's runtime folder; it serves once its
    // socket (BusSocket) exists.
    bool bStart(const CTestDirectory& dir, const std::string& strDisplay);
    std::filesystem::path BusSocket() const;
    // What the program's environment needs to be read.
    std::vector<std::string> Env() const;

    // The showing objects; given a role and a name, once an object with them
    // shows (the reader waits for the program's accessibility events up to
    // nSeconds).
    std::vector<A11yObject> Tree(const std::string& strRole = {}, const std::string& strName = {}, int nSeconds = 0);
    // Waits until an object with the role and name shows; the tree it was
    // found in. Each read walks the bus object by object, which a loaded
    // machine makes slow.
    bool bFind(const std::string& strRole, const std::string& strName, std::vector<A11yObject>* tree = nullptr);
    // The object with the role and name in a tree read before.
    static bool bHas(const std::vector<A11yObject>& tree, const std::string& strRole, const std::string& strName,
        A11yObject* found = nullptr);

private:
    const CTestDirectory* pDir = nullptr;
    std::string strDisplay;
    CChildProcess bus;
    std::string strBus;
    int nReads = 0;
};
