// Log entry types: a bit each, so a mask can pick which ones are written.
#pragma once

#include "platform/base/Win32.h"

constexpr DWORD LOG_FUNC_ENTRY = 0x1;
constexpr DWORD LOG_FUNC_RETURN = 0x2;
constexpr DWORD LOG_VAR_CHANGED = 0x4;
constexpr DWORD LOG_RECEIVE_MSG = 0x100;
constexpr DWORD LOG_SEND_MSG = 0x200;
constexpr DWORD LOG_PROMPT = 0x400;
constexpr DWORD LOG_CALL_FAIL = 0x10000;
constexpr DWORD LOG_EXCEPTION = 0x20000;
constexpr DWORD LOG_FATAL = 0x40000;
constexpr DWORD LOG_OTHER_ERROR = 0x80000;
