// Stands in for browsers and other programs in the end-to-end tests: opens one top-level window for
// each argument "class|state|title" (state: shown, hidden, minimized, stubborn, a shown window that
// ignores requests to close, or parent, a shown window with a child window of the same class and title;
// "\r" and "\n" in a title are line breaks) and runs until the test ends it.

#include <windows.h>

#include <set>
#include <string>

namespace {

std::set<HWND> stubborn;
int opened = 0;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && stubborn.count(hwnd)) return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Open(const std::string& request) {
    const auto first = request.find('|');
    const auto second = request.find('|', first + 1);
    if (first == std::string::npos || second == std::string::npos) return;
    const std::string className = request.substr(0, first);
    const std::string state = request.substr(first + 1, second - first - 1);
    // "\r" and "\n" in a title stand for line breaks, which a command line cannot carry.
    std::string title;
    for (std::size_t i = second + 1; i < request.size(); ++i) {
        if (request[i] == '\\' && i + 1 < request.size() && (request[i + 1] == 'r' || request[i + 1] == 'n')) {
            title += request[++i] == 'r' ? '\r' : '\n';
        } else {
            title += request[i];
        }
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className.c_str();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);  // fails harmlessly for a class registered before

    // Side by side along the top of the screen, clear of Zapnix's windows in the middle of it.
    const int x = 20 + (opened % 3) * 420;
    const int y = 20 + (opened / 3) * 40;
    ++opened;
    HWND hwnd = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 400, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return;
    if (state == "stubborn") stubborn.insert(hwnd);
    if (state == "parent")
        CreateWindowExA(0, className.c_str(), title.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, hwnd, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    if (state == "minimized")
        ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    else if (state != "hidden")
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

// The arguments as the command line gives them: each one in double quotes.
void OpenAll(const char* commandLine) {
    std::string line = commandLine;
    std::size_t at = 0;
    while ((at = line.find('"', at)) != std::string::npos) {
        const auto end = line.find('"', at + 1);
        if (end == std::string::npos) break;
        Open(line.substr(at + 1, end - at - 1));
        at = end + 1;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    OpenAll(commandLine);
    // Every window is there (or, closed at once by the program under test, has been): the test goes on.
    // The event stays open until the end, so that a test that asks for it only now still finds it set.
    const std::string ready = "PopupHostReady" + std::to_string(GetCurrentProcessId());
    SetEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
