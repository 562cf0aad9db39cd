// Windows' MulDiv, the one scaling helper of the program (dialog units,
// font heights).
#pragma once

#include <cstdint>

// a * b / c rounded half away from zero, without overflow in between; -1
// when c is 0 or the result does not fit in an int, as Windows answers.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long num = static_cast<long long>(a) * b;
    const long long den = c < 0 ? -static_cast<long long>(c) : c;
    long long q = ((num < 0 ? -num : num) + den / 2) / den;
    if ((num < 0) != (c < 0))
        q = -q;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return static_cast<int>(q);
}
