#pragma once
// What the in-process window tests share: a window context, reading windows and handling messages while
// waiting.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/Win32RunKeyRegistry.h"
#include "platform/Win32NotificationArea.h"
#include "platform/Win32Shell.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"
#include "platform/WindowContext.h"

namespace zapnix::testing {

// What start-up hands a window, for a window made on its own by a test; `context.folder` is the test's.
struct TestWindowContext {
    Win32WindowSystem windows;
    Win32TextCase textCase;
    Win32RunKeyRegistry runKey;
    Win32Shell shell;
    Win32NotificationArea notificationArea;
    WindowContext context{"", nullptr, nullptr, windows, textCase, nullptr, runKey, shell, notificationArea};
};

inline std::string TextOf(HWND hwnd) {
    char text[512] = {};
    const int n = GetWindowTextA(hwnd, text, sizeof(text));
    return std::string(text, n > 0 ? n : 0);
}

// Handles whatever arrives for up to `milliseconds`, stopping early once `done` holds.
template <typename Done>
void Pump(DWORD milliseconds, Done done) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds && !done()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace zapnix::testing
