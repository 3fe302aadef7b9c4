#pragma once
// Which process owns a window and which executable file that process runs, as a port: the engine tells
// the browsers that share their window class with other programs apart by it, the Win32 adapter is the
// only code that asks the system, and tests drive the engine with made-up processes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/WindowSystem.h"

namespace zapnix {

// A process id; 0 names no process.
using ProcessId = std::uint32_t;

class WindowOwners {
public:
    // While it lives, the system gives the process's id to no other process, even after the process ended.
    class Hold {
    public:
        virtual ~Hold() = default;
    };

    struct Image {
        std::string path;            // the executable's full path, as the system gives it
        std::unique_ptr<Hold> hold;  // keeps `path` the answer for this process id
    };

    virtual ~WindowOwners() = default;

    // The process that made the window; 0 when the window is gone.
    virtual ProcessId ProcessOf(WindowHandle window) = 0;
    // The process's executable, with the least access that reads it; nullopt when the process cannot be
    // opened (protected, another user's, gone) or its file not read.
    virtual std::optional<Image> ImageOf(ProcessId process) = 0;
    // A process whose executable could not be read: called right after ImageOf failed, while the system's
    // last error still tells why.
    virtual void ReportUnreadableImage(ProcessId process) = 0;
};

}  // namespace zapnix
