// The Win32 window-system and text-case adapters over real windows of this process.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/ShortDate.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"

namespace zapnix {
namespace {

class RealWindows : public ::testing::Test {
protected:
    HWND Open(const char* className, const std::string& title) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        HWND hwnd = CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        opened_.push_back(hwnd);
        return hwnd;
    }
    void TearDown() override {
        for (HWND hwnd : opened_)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Win32WindowSystem windows_;
    Win32TextCase textCase_;
    std::vector<HWND> opened_;
};

TEST_F(RealWindows, TextsComeThroughABufferOf260) {
    const std::string longTitle(400, 'x');
    HWND window = Open("IEFrame", longTitle);
    EXPECT_EQ(windows_.Title(reinterpret_cast<WindowHandle>(window)), longTitle.substr(0, 259));
    EXPECT_EQ(windows_.ClassName(reinterpret_cast<WindowHandle>(window)), "IEFrame");
    EXPECT_EQ(windows_.Title(reinterpret_cast<WindowHandle>(Open("IEFrame", ""))), "");
    // A window that is gone reads as empty texts.
    DestroyWindow(window);
    EXPECT_EQ(windows_.ClassName(reinterpret_cast<WindowHandle>(window)), "");
    EXPECT_EQ(windows_.Title(reinterpret_cast<WindowHandle>(window)), "");
}

TEST_F(RealWindows, CaseFoldingFollowsTheUserLocaleOnBothSides) {
    EXPECT_EQ(textCase_.Lower("Win A PRIZE"), "win a prize");
    EXPECT_EQ(textCase_.Upper("MozillaWindowClass"), "MOZILLAWINDOWCLASS");
    EXPECT_EQ(textCase_.Lower(""), "");
    EXPECT_FALSE(TodayShortDate().empty());
}

}  // namespace
}  // namespace zapnix
