#include "platform/Trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zapnix {

// Where there is no debugger output, the trace goes to the standard error stream.
void TraceFailure(std::string_view what) noexcept {
    const int error = errno;
    std::fprintf(stderr, "Zapnix: %.*s (errno %d: %s)\n", static_cast<int>(what.size()), what.data(), error,
                 std::strerror(error));
    errno = error;
}

}  // namespace zapnix
