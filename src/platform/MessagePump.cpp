#include "platform/MessagePump.h"

#include <algorithm>
#include <vector>

namespace zapnix {
namespace {

std::vector<HWND>& DialogWindows() {
    static std::vector<HWND> windows;
    return windows;
}

bool IsForDialog(MSG& msg) {
    for (HWND hwnd : DialogWindows())
        if (IsWindow(hwnd) && IsDialogMessageA(hwnd, &msg)) return true;
    return false;
}

void Dispatch(MSG& msg) {
    if (IsForDialog(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace

void RegisterDialogWindow(HWND hwnd) {
    DialogWindows().push_back(hwnd);
}

void UnregisterDialogWindow(HWND hwnd) {
    std::erase(DialogWindows(), hwnd);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return static_cast<int>(msg.wParam);
}

bool ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

bool WaitProcessingMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (!ProcessPendingMessages()) return false;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

}  // namespace zapnix
