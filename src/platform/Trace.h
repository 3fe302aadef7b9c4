#pragma once
// Failures that the program survives and goes on after, made visible to a developer: one line to the
// debugger (or DebugView) with the system's text for the last error. Users never see these.

#include <string_view>

namespace zapnix {

// Traces `what` with the calling thread's last-error code and its text; the code is left unchanged.
void TraceFailure(std::string_view what) noexcept;

}  // namespace zapnix
