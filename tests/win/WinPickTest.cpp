// The browser window picker in this process, against the real window system.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "picking/WinPick.h"

namespace zapnix {
namespace {

using Entries = std::vector<std::string>;

using testing::ClassOf;
using testing::ExpectLayout;
using testing::Pump;
using testing::TextOf;

Entries ListEntries(HWND list) {
    Entries entries;
    const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        text.resize(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        entries.push_back(text);
    }
    return entries;
}

const ControlSpec& SpecNamed(const char* name) {
    for (const ControlSpec& entry : WinPick::Layout())
        if (std::string(entry.name) == name) return entry;
    throw std::runtime_error(std::string("no control ") + name);
}

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_NE(owner_, nullptr);
        icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        pick_ = WinPick::Create(owner_, icon_, [this](const std::string& title) { picked_.push_back(title); });
        ASSERT_NE(pick_, nullptr);
        ieList_ = GetDlgItem(pick_->Hwnd(), SpecNamed("WinList").id);
        mozList_ = GetDlgItem(pick_->Hwnd(), SpecNamed("WinMozList").id);
        ASSERT_NE(ieList_, nullptr);
        ASSERT_NE(mozList_, nullptr);
    }
    void TearDown() override {
        pick_.reset();
        DestroyWindow(owner_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Waits for the picker to close itself; true when it did.
    bool Closed() {
        HWND hwnd = pick_->Hwnd();
        Pump(3000, [&] { return !IsWindow(hwnd); });
        return !IsWindow(hwnd) && pick_->Hwnd() == nullptr;
    }

    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::unique_ptr<WinPick> pick_;
    HWND ieList_ = nullptr;
    HWND mozList_ = nullptr;
    Entries picked_;
};

TEST_F(Picker, IsAnOwnedFixedDialogWithTheControlsWhereTheFormPutsThem) {
    HWND hwnd = pick_->Hwnd();
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "created hidden";
    EXPECT_EQ(ClassOf(hwnd), "WinPick");
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner_) << "owned, so it stays off the taskbar";
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON)), icon_);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    EXPECT_FALSE(style & WS_CLIPCHILDREN) << "the frame's inside is painted by the window";
    EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    pick_->Bring();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    ExpectLayout(hwnd, WinPick::Layout(), 522, 384);

    const auto textOf = [&](const char* name) { return TextOf(GetDlgItem(hwnd, SpecNamed(name).id)); };
    EXPECT_EQ(textOf("Frame1"), "Select Window");
    EXPECT_EQ(textOf("Label1"),
              "Please choose a browser window to block in future from the list below by clicking it.");
    EXPECT_EQ(GetParent(GetDlgItem(hwnd, SpecNamed("Label1").id)), hwnd) << "placed over the frame, not in it";
    EXPECT_EQ(textOf("Label2"), "Internet Explorer Windows:");
    EXPECT_EQ(textOf("Label3"), "Mozilla, Phoenix and Netscape Windows:");
    EXPECT_LT(SpecNamed("WinList").y, SpecNamed("WinMozList").y) << "Internet Explorer's list comes first";
    for (HWND list : {ieList_, mozList_}) {
        const auto listStyle = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE));
        for (DWORD bit : {DWORD(LBS_SORT), DWORD(LBS_NOTIFY), DWORD(LBS_NOINTEGRALHEIGHT)})
            EXPECT_EQ(listStyle & bit, bit) << std::hex << bit;
        EXPECT_TRUE(GetWindowLongPtrA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0) << "the lists start empty";
    }

    // The scroll bar shows (and its style bit is set) only once the entries overflow the list.
    BrowserWindowTitles many;
    for (int i = 0; i < 30; ++i) {
        many.internetExplorer.push_back("IE " + std::to_string(i));
        many.mozilla.push_back("Fox " + std::to_string(i));
    }
    pick_->AddBrowserWindows(many);
    for (HWND list : {ieList_, mozList_}) EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(Picker, ListsAreSortedAndEveryGrabAppends) {
    const std::string longest(WindowSystem::kMaxText, 'x');
    const BrowserWindowTitles titles{{"B", "A", "", longest}, {"Zeta - Mozilla Firefox", "alpha - Mozilla"}};
    pick_->AddBrowserWindows(titles);
    EXPECT_EQ(ListEntries(ieList_), (Entries{"", "A", "B", longest}));
    EXPECT_EQ(ListEntries(mozList_), (Entries{"alpha - Mozilla", "Zeta - Mozilla Firefox"}));

    pick_->AddBrowserWindows(titles);
    EXPECT_EQ(ListEntries(ieList_), (Entries{"", "", "A", "A", "B", "B", longest, longest}));
    EXPECT_EQ(ListEntries(mozList_),
              (Entries{"alpha - Mozilla", "alpha - Mozilla", "Zeta - Mozilla Firefox", "Zeta - Mozilla Firefox"}));

    pick_->AddBrowserWindows({});
    EXPECT_EQ(SendMessageA(ieList_, LB_GETCOUNT, 0, 0), 8);
    EXPECT_TRUE(picked_.empty()) << "filling the lists picks nothing";
}

TEST_F(Picker, AClickOnAnEntryHandsItsTitleOverOnceAndCloses) {
    pick_->AddBrowserWindows({{"B", "A", "C"}, {}});
    pick_->Bring();
    RECT row{};
    ASSERT_NE(SendMessageA(ieList_, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)), LB_ERR);
    const LPARAM at = MAKELPARAM(row.left + 10, (row.top + row.bottom) / 2);
    // Button down and button up both report the selection.
    PostMessageA(ieList_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(ieList_, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(picked_, (Entries{"B"}));
}

TEST_F(Picker, AKeyboardSelectionPicksToo) {
    pick_->AddBrowserWindows({{"only IE"}, {"Inbox - Thunderbird"}});
    pick_->Bring();
    PostMessageA(mozList_, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(picked_, (Entries{"Inbox - Thunderbird"}));
}

TEST_F(Picker, AnEmptyEntryIsPickedAsAnEmptyTitle) {
    pick_->AddBrowserWindows({{"", "Named"}, {}});
    SendMessageA(ieList_, LB_SETCURSEL, 0, 0);
    SendMessageA(pick_->Hwnd(), WM_COMMAND, MAKEWPARAM(SpecNamed("WinList").id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(ieList_));
    EXPECT_EQ(picked_, (Entries{""})) << "handed over at once";
    EXPECT_TRUE(Closed());
}

TEST_F(Picker, OtherNotificationsPickNothing) {
    pick_->AddBrowserWindows({{"A"}, {"M"}});
    HWND hwnd = pick_->Hwnd();
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(SpecNamed("WinList").id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(ieList_));
    SendMessageA(mozList_, LB_SETCURSEL, 0, 0);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(SpecNamed("WinMozList").id, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(mozList_));
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(SpecNamed("Label3").id, LBN_SELCHANGE), 0);
    Pump(300, [] { return false; });
    EXPECT_TRUE(picked_.empty()) << "no selection, or not a selection change of a list";
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(Picker, TheCloseBoxJustCloses) {
    pick_->AddBrowserWindows({{"A"}, {"M"}});
    pick_->Bring();
    PostMessageA(pick_->Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(picked_.empty());
    EXPECT_TRUE(IsWindow(owner_));
}

}  // namespace
}  // namespace zapnix
