// The maker's web site: the pages the program opens and the update
// description live under it.
#pragma once

#include <QString>

constexpr const char MAKER_SITE[] = "https://lumicue.example";

// The address of path on the maker's site; path starts with '/'.
inline QString SitePage(const char* path = "")
{
    return QString::fromLatin1(MAKER_SITE) + QString::fromLatin1(path);
}

inline QString ProductPage()
{
    return SitePage("/lumicue/");
}

inline QString DonatePage()
{
    return SitePage("/lumicue/donate.htm");
}

// Where more pointer pictures can be had.
inline QString PointerPicturesPage()
{
    return SitePage("/resources/pointers.htm");
}

// The update description the update check reads.
inline QString UpdateIniAddress()
{
    return SitePage("/product/update.ini");
}
