#pragma once
// What the in-process window tests share: holding a live window against the constant table it was built
// from (every control exists, of its kind, with its caption, at its place scaled for the display), and
// handling messages while waiting.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>

#include "platform/Controls.h"

namespace zapnix::testing {

inline std::string TextOf(HWND hwnd) {
    char text[512] = {};
    const int n = GetWindowTextA(hwnd, text, sizeof(text));
    return std::string(text, n > 0 ? n : 0);
}

inline std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
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

inline void ExpectLayout(HWND window, std::span<const ControlSpec> layout, int clientWidth, int clientHeight) {
    const DpiScale scale = DpiScale::ForWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, scale(clientWidth));
    EXPECT_EQ(client.bottom, scale(clientHeight));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_SYSMENU) << "the close box is there";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) << "a fixed dialog frame";
    EXPECT_EQ(TextOf(window), "Zapnix Popup Killer");

    for (const ControlSpec& entry : layout) {
        SCOPED_TRACE(entry.name);
        HWND control = GetDlgItem(window, entry.id);
        ASSERT_NE(control, nullptr);
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, scale(entry.x));
        EXPECT_EQ(place.top, scale(entry.y));
        EXPECT_EQ(place.right - place.left, scale(entry.width));
        // A combo box is as tall as its edit field; the table's height is its drop-down list's.
        if (entry.kind != ControlKind::ComboBox) {
            EXPECT_EQ(place.bottom - place.top, scale(entry.height));
        }
        EXPECT_TRUE(IsWindowVisible(control));
        const char* expectedClass = "";
        switch (entry.kind) {
            case ControlKind::Button:
            case ControlKind::GroupBox:
                expectedClass = "Button";
                break;
            case ControlKind::Label:
            case ControlKind::Picture:
            case ControlKind::Painted:
                expectedClass = "Static";
                break;
            case ControlKind::TextBox:
                expectedClass = "Edit";
                break;
            case ControlKind::ListView:
                expectedClass = "SysListView32";
                break;
            case ControlKind::ListBox:
                expectedClass = "ListBox";
                break;
            case ControlKind::ComboBox:
                expectedClass = "ComboBox";
                break;
        }
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), expectedClass);
        if (entry.kind == ControlKind::Button || entry.kind == ControlKind::GroupBox ||
            entry.kind == ControlKind::Label) {
            EXPECT_EQ(TextOf(control), entry.caption);
        }
    }
}

}  // namespace zapnix::testing
