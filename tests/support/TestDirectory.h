// The private file tree of one display test: HOME, the XDG folders and an
// install folder <tmp>/lib/lumicue holding a copy of the program with its
// Language and pointer folders. Removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

class CTestDirectory {
public:
    CTestDirectory() = default;
    ~CTestDirectory();
    CTestDirectory(const CTestDirectory&) = delete;
    CTestDirectory& operator=(const CTestDirectory&) = delete;

    // Creates the tree and installs the program; bShippedPointers false
    // leaves the install folder's pointer/ empty for the test to fill.
    bool bCreate(bool bShippedPointers);
    void vRemove();

    using Path = std::filesystem::path;
    const Path& Root() const { return root; }
    Path Home() const { return root / "home"; }
    Path ConfigHome() const { return Home() / ".config"; }
    Path RuntimeDir() const { return root / "run"; }
    Path InstallDir() const { return root / "lib" / "lumicue"; }
    Path ProgramPath() const { return InstallDir() / "lumicue"; }
    Path PointerDir() const { return InstallDir() / "pointer"; }
    Path LanguageDir() const { return InstallDir() / "Language"; }
    Path LogDir() const { return root / "logs"; }
    // The program's data folder and the files the tests look at in it.
    Path DataDir() const { return ConfigHome() / "Lumicue"; }
    Path OptionFile() const { return DataDir() / "AppOption.data"; }
    Path AutostartFile() const { return ConfigHome() / "autostart" / "Lumicue.desktop"; }

private:
    Path root;
};
