#include "platform/Win32WindowSystem.h"

#include <windows.h>

namespace zapnix {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

// The window text calls fill a buffer of 260 characters and report how many they wrote.
template <typename Read>
std::string ReadText(Read read) {
    char buffer[WindowSystem::kMaxText + 1] = {};
    const int length = read(buffer, static_cast<int>(sizeof(buffer)));
    if (length <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length) < sizeof(buffer) ? length : WindowSystem::kMaxText);
}

}  // namespace

void Win32WindowSystem::ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) {
    struct Context {
        const std::function<void(WindowHandle)>& visit;
    } context{visit};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            try {
                reinterpret_cast<Context*>(param)->visit(reinterpret_cast<WindowHandle>(hwnd));
            } catch (...) {
                // Nothing may unwind through the system's enumeration; the next window still counts.
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));
}

std::string Win32WindowSystem::ClassName(WindowHandle window) {
    return ReadText([&](char* buffer, int size) { return GetClassNameA(ToHwnd(window), buffer, size); });
}

std::string Win32WindowSystem::Title(WindowHandle window) {
    return ReadText([&](char* buffer, int size) { return GetWindowTextA(ToHwnd(window), buffer, size); });
}

bool Win32WindowSystem::PostClose(WindowHandle window) {
    return PostMessageA(ToHwnd(window), WM_CLOSE, 0, 0) != FALSE;
}

bool Win32WindowSystem::Exists(WindowHandle window) {
    return IsWindow(ToHwnd(window)) != FALSE;
}

}  // namespace zapnix
