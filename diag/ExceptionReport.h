// The one way a wrapped operation reports a caught exception: a line to
// stderr (the debugger output) and to the log, then the operation goes on.
#pragma once

#include <exception>
#include <utility>

// Formats, outputs and logs a report; never throws. Null reason: the
// catch-all form. Used by vReportExceptions only.
void vReportException(const char* reason, const char* cls, const char* op) noexcept;

// Runs body; any exception it raises is reported under cls::op and goes
// no further.
template <class F>
void vReportExceptions(const char* cls, const char* op, F&& body) noexcept
{
    try {
        std::forward<F>(body)();
    } catch (const std::exception& e) {
        const char* reason = e.what();
        vReportException(reason ? reason : "", cls, op);
    } catch (...) {
        vReportException(nullptr, cls, op);
    }
}
