// The Windows window-system and text-case adapters against the real API: window texts and letter case.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "platform/ShortDate.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"

namespace zapnix {
namespace {

TEST(RealWindows, TextsComeThroughABufferOf260AndAWindowGoneReadsEmpty) {
    Win32WindowSystem windows;
    const std::string longTitle(400, 'x');
    UniqueWindow titled(
        CreateWindowExA(0, "STATIC", longTitle.c_str(), 0, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    const auto window = reinterpret_cast<WindowHandle>(titled.Get());
    EXPECT_EQ(windows.Title(window), longTitle.substr(0, 259));
    EXPECT_EQ(windows.ClassName(window), "Static");
    titled.Reset();
    EXPECT_EQ(windows.ClassName(window), "");
    EXPECT_EQ(windows.Title(window), "");
}

TEST(RealWindows, CaseFoldingFollowsTheUserLocaleOnBothSidesAndTodayHasADate) {
    const Win32TextCase textCase;
    EXPECT_EQ(textCase.Lower("Win A PRIZE"), "win a prize");
    EXPECT_EQ(textCase.Upper("MozillaWindowClass"), "MOZILLAWINDOWCLASS");
    EXPECT_FALSE(TodayShortDate().empty());
}

}  // namespace
}  // namespace zapnix
