// Settable cursor position for tests.
#include "platform/CursorPos.h"
#include "platform/null/NullOverlay.h"

#include <atomic>

namespace {
std::atomic<std::uint64_t> g_cursor{0};
}

BOOL CCursorPos::bGet(int& x, int& y)
{
    std::uint64_t v = g_cursor.load();
    x = static_cast<int>(static_cast<std::uint32_t>(v >> 32));
    y = static_cast<int>(static_cast<std::uint32_t>(v));
    return TRUE;
}

void NullOverlay::vSetCursor(int x, int y)
{
    g_cursor.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y));
}
