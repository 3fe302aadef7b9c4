// Stands in for browsers and other programs in the tests: opens one top-level window for each argument
// "class|state|title" (state: shown, hidden, minimized, or parent, a shown window with a child window of
// the same class and title) and runs until the test ends it.

#include <windows.h>

#include <string>

namespace {

void Open(const std::string& request, int opened) {
    const auto first = request.find('|');
    const auto second = request.find('|', first + 1);
    if (second == std::string::npos) return;
    const std::string className = request.substr(0, first);
    const std::string state = request.substr(first + 1, second - first - 1);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = className.c_str();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);  // fails harmlessly for a class registered before

    // Side by side along the top of the screen, clear of Zapnix's windows in the middle of it.
    HWND hwnd =
        CreateWindowExA(0, className.c_str(), request.c_str() + second + 1, WS_OVERLAPPEDWINDOW,
                        20 + (opened % 3) * 420, 20 + (opened / 3) * 40, 400, 200, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return;
    if (state == "parent")
        CreateWindowExA(0, className.c_str(), request.c_str() + second + 1, WS_CHILD | WS_VISIBLE, 10, 10, 100, 50,
                        hwnd, nullptr, instance, nullptr);
    if (state != "hidden") ShowWindow(hwnd, state == "minimized" ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The arguments as the command line gives them: each one in double quotes.
    const std::string line = commandLine;
    int opened = 0;
    for (std::size_t at = line.find('"'), end; at != std::string::npos; at = line.find('"', end + 1)) {
        if ((end = line.find('"', at + 1)) == std::string::npos) break;
        Open(line.substr(at + 1, end - at - 1), opened++);
    }
    // Every window is there (or, closed at once by the program under test, has been): the test goes on.
    // The event stays open until the end, so that a test that asks for it only now still finds it set.
    SetEvent(CreateEventA(nullptr, TRUE, FALSE, ("PopupHostReady" + std::to_string(GetCurrentProcessId())).c_str()));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
