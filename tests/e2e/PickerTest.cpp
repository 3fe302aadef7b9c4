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
        // Room to spare: a wrong announced length must not run over the buffer.
        const LRESULT length = std::max<LRESULT>(SendMessageW(list, LB_GETTEXTLEN, i, 0), 0);
        std::wstring wide(static_cast<std::size_t>(length) * 2 + 2, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
        entries.emplace_back(wide.begin(), wide.end());  // the titles here are plain ASCII
    }
    return entries;
}

class Picker : public ZapnixSession {
protected:
    struct Window {
        HWND hwnd = nullptr;
        HWND ieList = nullptr;   // "Internet Explorer Windows:"
        HWND mozList = nullptr;  // "Mozilla, Phoenix and Netscape Windows:", below it
        HWND chromeList = nullptr;  // "Chrome, Edge, Brave, Vivaldi and Opera Windows:", below that
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
        picker.chromeList = GetDlgItem(picker.hwnd, ids::pick::WinChromeList);
        return picker;
    }

    // Clicks an entry where the list shows it (from its first entry on).
    static void ClickEntry(HWND list, int index) {
        const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        const LPARAM at = MAKELPARAM(10, (index - top) * height + height / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }

    std::string WinTxt() const { return WindowText(Control(ids::WinTxt)); }
    void SetWinTxt(const char* text) const {
        SendMessageA(Control(ids::WinTxt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
};

// Which windows count as browsers is the listing's business (unit tests); here: the real windows, shown or
// not, reach sorted lists, and a click picks the entry under the pointer.
TEST_F(Picker, ListsBrowserWindowsSortedAndAClickFillsTheTitleBox) {
    // Neither the order of creation nor its reverse is sorted, whichever way the system enumerates.
    PopupHost host({"IEFrame|shown|B", "IEFrame|hidden|", "IEFrame|shown|C", "IEFrame|shown|A",
                    "MozillaWindowClass|minimized|Pink Fox", "MozillaWindowClass|hidden|Odd Fox",
                    "MozillaWindowClass|shown|Red Fox", "Notepad|shown|Not a browser"});
    Start();
    SetWinTxt("typed before");
    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr) << "no picker with two list boxes showed";
    EXPECT_NE(GetWindow(picker.hwnd, GW_OWNER), nullptr) << "an owned window stays off the taskbar";
    EXPECT_EQ(ListBoxEntries(picker.ieList), (Entries{"", "A", "B", "C"}));
    EXPECT_EQ(ListBoxEntries(picker.mozList), (Entries{"Odd Fox", "Pink Fox", "Red Fox"}));
    EXPECT_EQ(ListBoxEntries(picker.chromeList), Entries{});

    ClickEntry(picker.ieList, 2);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "B"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); })) << "a pick closes the picker";
    EXPECT_EQ(app_->CountWindowsOf("WinPick"), 0);
    EXPECT_NE(host.Window("IEFrame", "B"), nullptr) << "picking closes no browser window";

    // The empty title is handed over like any other.
    const Window again = Grab();
    ASSERT_NE(again.hwnd, nullptr);
    ClickEntry(again.ieList, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again.hwnd); }));
    EXPECT_EQ(WinTxt(), "");
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
    EXPECT_EQ(app_->CountWindowsOf("WinPick"), 1);

    // The arrow key selects the first entry, and a keyboard selection picks as a click does.
    PostMessageA(second.mozList, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Fox"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(second.hwnd); }));

    // A closed picker comes back filled once; its close box changes nothing.
    SetWinTxt("keep me");
    const Window third = Grab();
    ASSERT_NE(third.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(third.ieList), (Entries{"Explorer"}));
    EXPECT_EQ(ListBoxEntries(third.mozList), (Entries{"Fox"}));
    PostMessageA(third.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(third.hwnd); }));
    EXPECT_EQ(WinTxt(), "keep me");
    EXPECT_TRUE(app_->Running());
}

// Chrome's window class is also that of programs built on its engine: the built-in list of browsers tells
// which processes' windows of that class are browser windows, for the picker and the drag target alike.
TEST_F(Picker, OnlyTheChromiumBrowsersWindowsOfTheirClassAreListedAndTakenByTheDragTarget) {
    const std::string kClass = "Chrome_WidgetWin_1";
    // Hidden windows first: the shown ones stand side by side, each title bar free to drop on.
    PopupHost chrome({kClass + "|shown|Zeta - Google Chrome", kClass + "|hidden|Alpha - Google Chrome",
                      kClass + "|hidden|", "IEFrame|hidden|Explorer"},
                     PopupHost::CopiedAs(folder_, "chrome.exe"));
    PopupHost slack({"MozillaWindowClass|hidden|Fox", kClass + "|shown|General - Slack"},
                    PopupHost::CopiedAs(folder_, "slack.exe"));
    Start();
    const POINT target = CentreOf(Control(ids::PicClick));
    DragWithMouse(target, TitleBarOf(slack.Window(kClass, "General - Slack")));
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "a drop on another program's window of the class is refused";
    EXPECT_EQ(error->text, "This is not a valid browser window (Chrome_WidgetWin_1)");
    Answer(*error, IDOK);
    EXPECT_EQ(WinTxt(), "");
    DragWithMouse(target, TitleBarOf(chrome.Window(kClass, "Zeta - Google Chrome")));
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Zeta - Google Chrome"; })) << WinTxt();

    const Window picker = Grab();
    ASSERT_NE(picker.hwnd, nullptr);
    EXPECT_EQ(ListBoxEntries(picker.chromeList), (Entries{"Alpha - Google Chrome", "Zeta - Google Chrome"}));
    EXPECT_EQ(ListBoxEntries(picker.ieList), Entries{"Explorer"});
    EXPECT_EQ(ListBoxEntries(picker.mozList), Entries{"Fox"}) << "the other families count in any process";
    ClickEntry(picker.chromeList, 0);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Alpha - Google Chrome"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker.hwnd); }));
}

}  // namespace
}  // namespace zapnix::e2e
