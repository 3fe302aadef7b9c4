// "Grab Title" and the drag target from outside: the picker lists the stand-in browsers' windows, and a pick
// or a drop fills the title box of the main window.

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
    for (int i = 0, count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < count; ++i) {
        // Room to spare: a wrong announced length must not run over the buffer.
        const LRESULT length = std::max<LRESULT>(SendMessageW(list, LB_GETTEXTLEN, i, 0), 0);
        std::wstring wide(static_cast<std::size_t>(length) * 2 + 2, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
        entries.emplace_back(wide.begin(), wide.end());  // the titles here are plain ASCII
    }
    return entries;
}

// Clicks an entry where the list shows it.
void ClickEntry(HWND list, int index) {
    const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const LPARAM at = MAKELPARAM(10, (index - top) * height + height / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

class Picker : public ZapnixSession {
protected:
    // Clicks "Grab Title" and waits for the picker to show.
    HWND Grab() {
        Click(Control(ids::Command5));
        return app_->WaitForShown("WinPick");
    }
    // The lists of Internet Explorer's, the Mozilla family's and the Chromium browsers' windows.
    static Entries Listed(HWND picker, int list) { return ListBoxEntries(GetDlgItem(picker, list)); }
    std::string WinTxt() const { return WindowText(Control(ids::WinTxt)); }
    void SetWinTxt(const char* text) const {
        SendMessageA(Control(ids::WinTxt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
};

using ids::pick::WinChromeList;
using ids::pick::WinList;
using ids::pick::WinMozList;

// Which windows count as browsers is the listing's business (unit tests); here: the real windows, shown or
// not, reach sorted lists in one picker, and a click or the keyboard picks the entry under the pointer.
TEST_F(Picker, ListsBrowserWindowsSortedInOnePickerAndAPickFillsTheTitleBox) {
    // Neither the order of creation nor its reverse is sorted, whichever way the system enumerates.
    PopupHost host({"IEFrame|shown|B", "IEFrame|hidden|", "IEFrame|shown|C", "IEFrame|shown|A",
                    "MozillaWindowClass|minimized|Pink Fox", "MozillaWindowClass|hidden|Odd Fox",
                    "MozillaWindowClass|shown|Red Fox", "Notepad|shown|Not a browser"});
    Start();
    SetWinTxt("typed before");
    HWND picker = Grab();
    ASSERT_NE(picker, nullptr);
    EXPECT_NE(GetWindow(picker, GW_OWNER), nullptr) << "an owned window stays off the taskbar";
    EXPECT_EQ(Listed(picker, WinList), (Entries{"", "A", "B", "C"}));
    EXPECT_EQ(Listed(picker, WinMozList), (Entries{"Odd Fox", "Pink Fox", "Red Fox"}));
    EXPECT_EQ(Listed(picker, WinChromeList), Entries{});

    // Grabbing again lists everything again, in the same picker.
    EXPECT_EQ(Grab(), picker) << "one picker at a time";
    EXPECT_TRUE(WaitUntil([&] { return Listed(picker, WinList).size() == 8; }));
    EXPECT_EQ(Listed(picker, WinMozList),
              (Entries{"Odd Fox", "Odd Fox", "Pink Fox", "Pink Fox", "Red Fox", "Red Fox"}));
    EXPECT_EQ(app_->CountWindowsOf("WinPick"), 1);
    // The arrow key selects the first entry, and a keyboard selection picks as a click does.
    PostMessageA(GetDlgItem(picker, WinMozList), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Odd Fox"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); })) << "a pick closes the picker";

    // A closed picker comes back filled once; a click picks, closes no browser window, and the empty title
    // is handed over like any other.
    ASSERT_NE(picker = Grab(), nullptr);
    EXPECT_EQ(Listed(picker, WinList), (Entries{"", "A", "B", "C"}));
    ClickEntry(GetDlgItem(picker, WinList), 2);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "B"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); }));
    EXPECT_NE(host.Window("IEFrame", "B"), nullptr) << "picking closes no browser window";
    ASSERT_NE(picker = Grab(), nullptr);
    ClickEntry(GetDlgItem(picker, WinList), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker) && WinTxt().empty(); }));

    // Its close box changes nothing.
    SetWinTxt("keep me");
    ASSERT_NE(picker = Grab(), nullptr);
    PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); }));
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
    ExpectMessage(nullptr, "This is not a valid browser window (Chrome_WidgetWin_1)", "Error:");
    EXPECT_EQ(WinTxt(), "") << "a refused drop leaves the text box alone";
    DragWithMouse(target, TitleBarOf(chrome.Window(kClass, "Zeta - Google Chrome")), true);  // the right button too
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Zeta - Google Chrome"; })) << WinTxt();
    EXPECT_NE(chrome.Window(kClass, "Zeta - Google Chrome"), nullptr) << "nothing is closed";
    EXPECT_TRUE(app_->ListRows(Control(ids::WinList), 1).empty()) << "and no rule is added";

    HWND picker = Grab();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(Listed(picker, WinChromeList), (Entries{"Alpha - Google Chrome", "Zeta - Google Chrome"}));
    EXPECT_EQ(Listed(picker, WinList), Entries{"Explorer"});
    EXPECT_EQ(Listed(picker, WinMozList), Entries{"Fox"}) << "the other families count in any process";
    ClickEntry(GetDlgItem(picker, WinChromeList), 0);
    EXPECT_TRUE(WaitUntil([&] { return WinTxt() == "Alpha - Google Chrome"; })) << WinTxt();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); }));
}

}  // namespace
}  // namespace zapnix::e2e
