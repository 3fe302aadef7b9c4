// "Grab Title" from outside: the picker lists the stand-in browser's windows, and a pick fills the
// title box of the main window.

#include <algorithm>

#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using Entries = std::vector<std::string>;

// The list boxes' own messages travel between processes: the system copies the text back. They are
// sent in their wide form: Wine 8 hands the ANSI form's text back unconverted, as UTF-16, writing twice
// the bytes that LB_GETTEXTLEN announced.
Entries ListBoxEntries(HWND list) {
    Entries entries;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length < 0) {
            entries.emplace_back("<unreadable>");
            continue;
        }
        // Room to spare: a wrong announced length must not run over the buffer.
        std::wstring wide(static_cast<std::size_t>(length) * 2 + 2, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
        std::string text(wide.size() * 4, '\0');
        const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
        text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        entries.push_back(text);
    }
    return entries;
}

class Picker : public ZapnixSession {
protected:
    struct Window {
        HWND hwnd = nullptr;
        HWND ieList = nullptr;   // "Internet Explorer Windows:"
        HWND mozList = nullptr;  // "Mozilla, Phoenix and Netscape Windows:", below it
    };

    // Clicks "Grab Title" and waits for the picker to show.
    Window Grab() {
        Click(Control(ids::Command5));
        Window picker;
        WaitUntil([&] {
            picker.hwnd = app_->FindWindowOf("WinPick", "Zapnix Popup Killer");
            return picker.hwnd && IsWindowVisible(picker.hwnd);
        });
        if (!picker.hwnd || !IsWindowVisible(picker.hwnd)) return {};
        picker.ieList = GetDlgItem(picker.hwnd, ids::pick::WinList);
        picker.mozList = GetDlgItem(picker.hwnd, ids::pick::WinMozList);
        return picker;
    }

    // Where a mouse click lands on an entry (the list shows it from its first entry on).
    static LPARAM EntryPoint(HWND list, int index) {
        const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        return MAKELPARAM(10, (index - top) * height + height / 2);
    }

    static void ClickEntry(HWND list, int index) {
        const LPARAM at = EntryPoint(list, index);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }

    std::string WinTxt() const { return WindowText(Control(ids::WinTxt)); }
    void SetWinTxt(const char* text) const {
        SendMessageA(Control(ids::WinTxt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }

    // Number of picker windows of Zapnix, shown or not.
    int PickerCount() const {
        struct Count {
            DWORD pid;
            int n = 0;
        } count{app_->Id()};
        EnumWindows(
            [](HWND hwnd, LPARAM param) -> BOOL {
                auto& c = *reinterpret_cast<Count*>(param);
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                char cls[64] = {};
                GetClassNameA(hwnd, cls, sizeof(cls));
                if (pid == c.pid && lstrcmpiA(cls, "WinPick") == 0) ++c.n;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count.n;
    }
};

TEST_F(Picker, ListsInternetExplorerWindowsSortedAndAClickFillsTheTitleBox) {
    PopupHost host({"IEFrame|shown|B", "IEFrame|shown|A"});
    Start();
    ASSERT_EQ(WinTxt(), "");
    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr) << "no picker with two list boxes showed";
    EXPECT_NE(GetWindow(picker.hwnd, GW_OWNER), nullptr) << "an owned window stays off the taskbar";
    EXPECT_EQ(ListBoxEntries(picker.ieList), (Entries{"A", "B"}));
    EXPECT_EQ(ListBoxEntries(picker.mozList), Entries{});

    ClickEntry(picker.ieList, 1);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "B"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); })) << "a pick closes the picker";
    EXPECT_EQ(PickerCount(), 0);
    EXPECT_NE(host.Window("IEFrame", "B"), nullptr) << "picking closes no browser window";
}

TEST_F(Picker, ListsOnlyTitledMozillaWindowsShownOrNotAndAnyLetterCase) {
    PopupHost browsers({
        "MozillaWindowClass|shown|",
        "MozillaWindowClass|hidden|",
        "MozillaWindowClass|hidden|Hidden Fox",
        "MozillaWindowClass|minimized|Small Fox",
        "Notepad|shown|Not a browser",
        "MozillaDialogClass|shown|Downloads",
    });
    // Another process, so that these classes are registered in this letter case.
    PopupHost oddCase({"mozillaWINDOWclass|shown|Odd Fox", "iEfRaMe|hidden|odd explorer"});
    Start();
    SetWinTxt("typed before");
    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(picker.ieList), (Entries{"odd explorer"}));
    EXPECT_EQ(ListBoxEntries(picker.mozList), (Entries{"Hidden Fox", "Odd Fox", "Small Fox"}));

    // The arrow key selects the first entry, and a keyboard selection picks as a click does.
    PostMessageA(picker.mozList, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Hidden Fox"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); }));
}

TEST_F(Picker, AnUntitledInternetExplorerWindowGivesAnEmptyEntry) {
    PopupHost host({"IEFrame|shown|", "IEFrame|hidden|Hidden IE"});
    Start();
    SetWinTxt("typed before");
    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(picker.ieList), (Entries{"", "Hidden IE"}));
    EXPECT_EQ(ListBoxEntries(picker.mozList), Entries{});

    ClickEntry(picker.ieList, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); }));
    EXPECT_EQ(WinTxt(), "") << "the empty title is handed over like any other";
}

TEST_F(Picker, GrabbingAgainListsEverythingAgainInTheSamePicker) {
    PopupHost host({"IEFrame|shown|Explorer", "MozillaWindowClass|shown|Fox"});
    Start();
    const Window first = Grab();
    ASSERT_NE(first.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(first.ieList), (Entries{"Explorer"}));

    const Window second = Grab();
    ASSERT_NE(second.hwnd, nullptr);
    EXPECT_EQ(second.hwnd, first.hwnd) << "one picker at a time";
    EXPECT_TRUE(WaitUntil([&] { return ListBoxEntries(second.ieList).size() == 2; }));
    EXPECT_EQ(ListBoxEntries(second.ieList), (Entries{"Explorer", "Explorer"}));
    EXPECT_EQ(ListBoxEntries(second.mozList), (Entries{"Fox", "Fox"}));
    EXPECT_EQ(PickerCount(), 1);

    ClickEntry(second.mozList, 1);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Fox"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(second.hwnd); }));

    // A closed picker comes back empty, then filled once.
    const Window third = Grab();
    ASSERT_NE(third.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(third.ieList), (Entries{"Explorer"}));
    EXPECT_EQ(ListBoxEntries(third.mozList), (Entries{"Fox"}));
}

TEST_F(Picker, WithNoBrowserOpenBothListsAreEmptyAndTheCloseBoxChangesNothing) {
    PopupHost host({"Notepad|shown|Untitled - Notepad"});
    Start();
    SetWinTxt("keep me");
    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(picker.ieList), Entries{});
    EXPECT_EQ(ListBoxEntries(picker.mozList), Entries{});

    PostMessageA(picker.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); }));
    EXPECT_EQ(WinTxt(), "keep me");
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(app_->Running());
}

}  // namespace
}  // namespace zapnix::e2e
