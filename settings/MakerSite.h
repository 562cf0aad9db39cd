// The maker's web site: the pages the program opens and the update
// description live under it.
#pragma once

constexpr const char MAKER_SITE[] = "https://lumicue.example";
