// The Win32 window-system and text-case adapters over real windows of this process.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "platform/ShortDate.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"

namespace zapnix {
namespace {

HWND OpenStatic(const std::string& title) {
    return CreateWindowExA(0, "STATIC", title.c_str(), 0, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

TEST(RealWindows, TextsComeThroughABufferOf260AndAWindowGoneReadsEmpty) {
    Win32WindowSystem windows;
    const std::string longTitle(400, 'x');
    UniqueWindow titled(OpenStatic(longTitle)), untitled(OpenStatic(""));
    const auto window = reinterpret_cast<WindowHandle>(titled.Get());
    EXPECT_EQ(windows.Title(window), longTitle.substr(0, 259));
    EXPECT_EQ(windows.ClassName(window), "Static");
    EXPECT_EQ(windows.Title(reinterpret_cast<WindowHandle>(untitled.Get())), "");
    titled.Reset();
    EXPECT_EQ(windows.ClassName(window), "");
    EXPECT_EQ(windows.Title(window), "");
}

TEST(RealWindows, CaseFoldingFollowsTheUserLocaleOnBothSidesAndTodayHasADate) {
    const Win32TextCase textCase;
    EXPECT_EQ(textCase.Lower("Win A PRIZE"), "win a prize");
    EXPECT_EQ(textCase.Upper("MozillaWindowClass"), "MOZILLAWINDOWCLASS");
    EXPECT_EQ(textCase.Lower(""), "");
    EXPECT_FALSE(TodayShortDate().empty());
}

}  // namespace
}  // namespace zapnix
