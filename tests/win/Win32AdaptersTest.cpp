// The Windows window-system and text-case adapters against the real API: window texts and letter case.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowOwners.h"
#include "platform/Win32WindowSystem.h"

namespace zapnix {
namespace {

TEST(RealWindows, TextsComeThroughABufferOf260AndAWindowGoneReadsEmptyAndTakesNoCloseRequest) {
    Win32WindowSystem windows;
    const std::string longTitle(400, 'x');
    UniqueWindow titled(
        CreateWindowExA(0, "STATIC", longTitle.c_str(), 0, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    const auto window = reinterpret_cast<WindowHandle>(titled.Get());
    EXPECT_EQ(windows.Title(window), longTitle.substr(0, 259));
    EXPECT_EQ(windows.ClassName(window), "Static");
    EXPECT_TRUE(windows.PostClose(window));  // destroyed below, before it could be handled
    titled.Reset();
    EXPECT_EQ(windows.ClassName(window), "");
    EXPECT_EQ(windows.Title(window), "");
    EXPECT_FALSE(windows.PostClose(window));
}

TEST(RealWindows, AWindowsOwnerIsItsProcessWhoseExecutableIsReadWithItsFullPathAndANoProcessIsNone) {
    Win32WindowOwners owners;
    UniqueWindow window(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    const auto handle = reinterpret_cast<WindowHandle>(window.Get());
    EXPECT_EQ(owners.ProcessOf(handle), GetCurrentProcessId());
    window.Reset();
    EXPECT_EQ(owners.ProcessOf(handle), 0u) << "a window gone";

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const auto image = owners.ImageOf(GetCurrentProcessId());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(lstrcmpiA(image->path.c_str(), self), 0) << image->path;
    EXPECT_NE(image->hold, nullptr);

    // Ids are multiples of 4: this one names no process. The caller traces the failure with its reason.
    SetLastError(0);
    EXPECT_FALSE(owners.ImageOf(0xFFFFFFF1).has_value());
    EXPECT_NE(GetLastError(), 0u) << "the reason is left for the trace";
}

// Accented capitals of a Western European code page fold like the Basic Latin ones, which a fold of ASCII
// letters alone would leave as they are. (Wine takes its code page from the locale of the environment.)
TEST(RealWindows, CaseFoldingFollowsTheUsersCodePageBothWays) {
    if (GetACP() != 1252) GTEST_SKIP() << "the letters below are those of Windows-1252, not of " << GetACP();
    const Win32TextCase textCase;
    EXPECT_EQ(textCase.Lower("Win \xC4\xC9\xD6 PRIZE"), "win \xE4\xE9\xF6 prize");
    EXPECT_EQ(textCase.Upper("MozillaWindowClass \xE4\xE9\xF6"), "MOZILLAWINDOWCLASS \xC4\xC9\xD6");
}

}  // namespace
}  // namespace zapnix
