#include "platform/Trace.h"

#include <windows.h>

#include <cstdio>

namespace zapnix {

void TraceFailure(std::string_view what) noexcept {
    const DWORD error = GetLastError();
    char reason[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        reason, sizeof reason, nullptr);
    // The system's text ends in a line break of its own.
    DWORD end = length;
    while (end > 0 && (reason[end - 1] == '\r' || reason[end - 1] == '\n')) --end;
    reason[end] = '\0';
    char line[768];
    std::snprintf(line, sizeof line, "Zapnix: %.*s (error %lu: %s)\n", static_cast<int>(what.size()), what.data(),
                  static_cast<unsigned long>(error), reason);
    OutputDebugStringA(line);
    SetLastError(error);
}

}  // namespace zapnix
