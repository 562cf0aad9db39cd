// Creation and removal of a display test's private file tree.
#include "TestDirectory.h"

#include <sys/stat.h>

#include <cstdlib>
#include <vector>

namespace fs = std::filesystem;

CTestDirectory::~CTestDirectory()
{
    vRemove();
}

bool CTestDirectory::bCreate(bool bShippedPointers)
{
    // Short on purpose: the instance socket lives under the runtime folder
    // and socket paths are limited to 107 bytes.
    std::vector<char> name{'/', 't', 'm', 'p', '/', 'l', 'c', 'd', '-', 'X', 'X', 'X', 'X', 'X', 'X', '\0'};
    if (!mkdtemp(name.data()))
        return false;
    root = name.data();
    std::error_code ec;
    for (const Path& p : {ConfigHome(), RuntimeDir(), InstallDir(), LogDir()})
        fs::create_directories(p, ec);
    chmod(RuntimeDir().c_str(), 0700);

    fs::copy_file(LUMICUE_PROGRAM, ProgramPath(), fs::copy_options::overwrite_existing, ec);
    if (ec)
        return false;
    fs::permissions(ProgramPath(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace, ec);
    const Path source = LUMICUE_SOURCE_DIR;
    const auto recursive = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    if (fs::exists(source / "Language"))
        fs::copy(source / "Language", LanguageDir(), recursive, ec);
    fs::create_directories(LanguageDir(), ec);
    if (bShippedPointers && fs::exists(source / "pointer"))
        fs::copy(source / "pointer", PointerDir(), recursive, ec);
    fs::create_directories(PointerDir(), ec);
    if (fs::exists(source / "kwin"))
        fs::copy(source / "kwin", InstallDir() / "kwin", recursive, ec);
    return fs::exists(ProgramPath());
}

void CTestDirectory::vRemove()
{
    if (root.empty())
        return;
    std::error_code ec;
    // A test may have taken write permission away from a folder.
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root, ec);
    root.clear();
}
