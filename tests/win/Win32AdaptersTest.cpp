// The Windows adapters against the real API: window texts and owners, letter case, the Run key, and the
// slot of a window that exists at most once.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/BaseWindow.h"
#include "platform/Handles.h"
#include "platform/Win32RunKeyRegistry.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowOwners.h"
#include "platform/Win32WindowSystem.h"
#include "platform/WindowSlot.h"

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

TEST(RunKeyRegistry, WritesReplacesAndDeletesTheValueUnderEitherRoot) {
    Win32RunKeyRegistry registry;
    const auto readBack = [](HKEY root) -> std::string {
        char data[512] = {};
        DWORD size = sizeof(data), type = 0;
        if (RegGetValueA(root, kRunSubkey, "ZapnixTest", RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return "-";
        return type == REG_SZ && size == strlen(data) + 1 ? data : "malformed";
    };
    for (const auto& [root, hkey] : {std::pair{RegistryRoot::LocalMachine, HKEY_LOCAL_MACHINE},
                                     std::pair{RegistryRoot::CurrentUser, HKEY_CURRENT_USER}}) {
        ASSERT_TRUE(registry.SetRunValue(root, "ZapnixTest", "C:\\Tools\\Zapnix.exe"));
        ASSERT_TRUE(registry.SetRunValue(root, "ZapnixTest", "\"C:\\Program Files\\Zapnix.exe\""));
        EXPECT_EQ(readBack(hkey), "\"C:\\Program Files\\Zapnix.exe\"");
        EXPECT_TRUE(registry.DeleteRunValue(root, "ZapnixTest"));
        EXPECT_EQ(readBack(hkey), "-");
        EXPECT_TRUE(registry.DeleteRunValue(root, "ZapnixTest")) << "deleting what is not there is no failure";
    }
}

// Windows that exist at most once: when their objects are freed, and that their destroy handling runs.
constexpr UINT kCloseThroughSlot = WM_APP + 7;

struct Counts {
    int destroyHandled = 0;  // WM_DESTROY reached the window's handler
    int freed = 0;           // the object was deleted
    int freedWhileHandling = -1;
};

class SlotWindow : public BaseWindow<SlotWindow> {
public:
    static std::unique_ptr<SlotWindow> Create(Counts& counts, WindowSlot<SlotWindow>*& slot) {
        std::unique_ptr<SlotWindow> window(new SlotWindow(counts, slot));
        if (!window->CreateForm("ZapnixSlotTestWindow", nullptr, nullptr, 100, 50, {})) return nullptr;
        return window;
    }
    ~SlotWindow() override { ++counts_.freed; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kCloseThroughSlot) {
            // As when the program ends while this window's own message box is open.
            slot_->Close();
            counts_.freedWhileHandling = counts_.freed;
            return 0;
        }
        if (message == WM_DESTROY) ++counts_.destroyHandled;
        return DefaultHandling(message, wParam, lParam);
    }

private:
    SlotWindow(Counts& counts, WindowSlot<SlotWindow>*& slot) : counts_(counts), slot_(slot) {}
    Counts& counts_;
    WindowSlot<SlotWindow>*& slot_;
};

TEST(WindowSlot, AClosedWindowIsFreedAfterItsHandlerReturnsAndOneThatGoesWithItsSlotStillHandlesItsDestroy) {
    Counts counts;
    {
        WindowSlot<SlotWindow> slot;
        WindowSlot<SlotWindow>* self = &slot;
        const auto create = [&] { return SlotWindow::Create(counts, self); };
        SlotWindow* window = slot.Obtain(create);
        ASSERT_NE(window, nullptr);
        SendMessageA(window->Hwnd(), kCloseThroughSlot, 0, 0);
        EXPECT_EQ(counts.freedWhileHandling, 0) << "freed under its running handler";
        EXPECT_EQ(counts.destroyHandled, 1);
        EXPECT_EQ(slot.Get(), nullptr) << "the closed window is gone";
        EXPECT_EQ(counts.freed, 1) << "and freed once its handler has returned";
        ASSERT_NE(slot.Obtain(create), nullptr);
    }
    EXPECT_EQ(counts.destroyHandled, 2) << "a viewer destroyed by its owner must still save";
    EXPECT_EQ(counts.freed, 2);
}

}  // namespace
}  // namespace zapnix
