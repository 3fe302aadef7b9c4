#include "platform/Win32WindowOwners.h"

#include <windows.h>

#include <string>
#include <utility>

#include "platform/Handles.h"
#include "platform/Trace.h"

namespace zapnix {
namespace {

// An open process handle: the system keeps the process's id out of use until the last one is closed.
class HandleHold final : public WindowOwners::Hold {
public:
    explicit HandleHold(UniqueHandle process) : process_(std::move(process)) {}

private:
    UniqueHandle process_;
};

// The longest path the system hands out, with its terminating null.
constexpr DWORD kLongestPath = 32768;

}  // namespace

ProcessId Win32WindowOwners::ProcessOf(WindowHandle window) {
    DWORD process = 0;
    if (!GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process)) return 0;
    return process;
}

std::optional<WindowOwners::Image> Win32WindowOwners::ImageOf(ProcessId id) {
    // Reading the name takes the limited query right alone, which, unlike the full one, the system also
    // grants on protected processes.
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return std::nullopt;
    std::string path(kLongestPath, '\0');
    DWORD length = kLongestPath;
    if (!QueryFullProcessImageNameA(process.Get(), 0, path.data(), &length)) {
        // Closing the handle must not change the error the caller is about to report.
        const DWORD error = GetLastError();
        process.Reset();
        SetLastError(error);
        return std::nullopt;
    }
    path.resize(length);
    return Image{std::move(path), std::make_unique<HandleHold>(std::move(process))};
}

void Win32WindowOwners::ReportUnreadableImage(ProcessId process) {
    TraceFailure("the executable of process " + std::to_string(process) +
                 " cannot be read; its windows count as no browser's");
}

}  // namespace zapnix
