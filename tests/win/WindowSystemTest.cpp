// The check pass over real windows of this process, through the Win32 window-system adapter.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/PopupKiller.h"
#include "platform/ShortDate.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"

namespace zapnix {
namespace {

class Recorder final : public KillRecorder {
public:
    void RecordKill(const std::string& title) override { titles.push_back(title); }
    std::vector<std::string> titles;
};

class RealWindows : public ::testing::Test {
protected:
    HWND Open(const char* className, const std::string& title, bool visible = false) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        HWND hwnd = CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        if (visible) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        opened_.push_back(hwnd);
        return hwnd;
    }
    void TearDown() override {
        for (HWND hwnd : opened_)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    // Lets the posted close requests arrive.
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }

    Win32WindowSystem windows_;
    Win32TextCase textCase_;
    std::vector<HWND> opened_;
};

TEST_F(RealWindows, APassClosesMatchingBrowserFramesHiddenOrNotAndNothingElse) {
    HWND hidden = Open("IEFrame", "Win a Prize");
    HWND shown = Open("mOzIlLaWiNdOwClAsS", "WIN A PRIZE", true);
    HWND dialog = Open("ZapnixTestDialog", "Win a Prize", true);
    HWND other = Open("IEFrame", "Weather");
    RuleList rules;
    rules.Append({"win a prize", "Yes", "Exact", "No"});
    Recorder recorder;
    PopupKiller(windows_, rules, textCase_, recorder).CheckWindows();
    EXPECT_EQ(recorder.titles.size(), 2u);
    Pump();
    EXPECT_FALSE(IsWindow(hidden)) << "a hidden browser frame is closed too";
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_TRUE(IsWindow(dialog)) << "another class is never touched";
    EXPECT_TRUE(IsWindow(other));
}

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
