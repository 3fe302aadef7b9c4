#include "ZapnixSession.h"
#include "settings/SettingsIds.h"

namespace zapnix::e2e {
namespace {

namespace s = ids::settings;

constexpr char kApplied[] = "All setings have been updated successfully!";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class Settings : public ZapnixSession {
protected:
    // The dialog once it shows, opened with a command of the main window.
    HWND Open(int command) {
        ChooseCommand(main_, command);
        return Dialog();
    }
    HWND Dialog() const {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = app_->FindWindowOf("SettingsFrm", "Zapnix Popup Killer");
            return dialog && IsWindowVisible(dialog);
        });
        return dialog;
    }
    static std::string Delay(HWND dialog) { return WindowText(GetDlgItem(dialog, s::Text1)); }
    static bool Ticked(HWND dialog, int id) {
        return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // Presses "+" or "-" and waits until it has been handled: the delay box then shows the outcome.
    static std::string Press(HWND dialog, int button) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, button), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
        return Delay(dialog);
    }
    // "Apply", its message answered; the dialog is gone afterwards.
    void Apply(HWND dialog) {
        Click(GetDlgItem(dialog, s::Command3));
        auto box = app_->WaitForMessageBox("Message:");
        ASSERT_TRUE(box.has_value()) << "no message after Apply";
        EXPECT_EQ(box->text, kApplied);
        Answer(*box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "Apply closes the dialog";
    }
};

TEST_F(Settings, OpensOnceFromTheMenuAndItsButtonsKeepTheDelayWithinOneToTheBound) {
    Start();
    HWND dialog = Open(ids::MenuSettings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Open(ids::MenuSettings), dialog) << "one dialog at a time";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), GetWindow(main_, GW_OWNER)) << "owned by the hidden owner: no taskbar";
    RECT place{};
    GetWindowRect(dialog, &place);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(place.left, MulDiv(281, dpi, 96));
    EXPECT_EQ(place.top, MulDiv(173, dpi, 96));

    EXPECT_EQ(Delay(dialog), "0") << "no profile file";
    EXPECT_FALSE(Ticked(dialog, s::Check1) || Ticked(dialog, s::Check2) || Ticked(dialog, s::Check3));
    EXPECT_EQ(Press(dialog, s::Command2), "0") << "\"-\" leaves 0";
    // With the killer on, a delay of 0 would run no check: Apply asks for one and keeps the dialog.
    Click(GetDlgItem(dialog, s::Check3));
    Click(GetDlgItem(dialog, s::Command3));
    auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    EXPECT_NE(box->text.find("at least 1 second"), std::string::npos) << box->text;
    Answer(*box, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(ProfileBytes().has_value()) << "a refused Apply writes nothing";

    EXPECT_EQ(Press(dialog, s::Command1), "1");
    EXPECT_EQ(Press(dialog, s::Command2), "1") << "\"-\" never goes below 1";
    for (int i = 0; i < 63; ++i) Press(dialog, s::Command1);
    EXPECT_EQ(Press(dialog, s::Command1), "65");
    EXPECT_EQ(Press(dialog, s::Command1), "65") << "\"+\" stops at the bound";
    EXPECT_EQ(Press(dialog, s::Command2), "64");

    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Sleep(300);
    EXPECT_FALSE(ProfileBytes().has_value()) << "the close box writes nothing";

    dialog = Open(ids::MenuSettings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Delay(dialog), "0") << "a new dialog starts from the file";
    Press(dialog, s::Command1);
    Click(GetDlgItem(dialog, s::Check2));
    Apply(dialog);
    EXPECT_EQ(ProfileBytes(), "[Settings]\r\nInterval=1\r\nMinimized=1\r\nStartup=0\r\nEnabled=0\r\n");
    CloseWithYes();
}

TEST_F(Settings, FromTheTrayOnlyTheDialogAppearsAndApplyShowsTheMainWindowKeepingTheIcon) {
    Start("[Settings]\r\nMinimized=1\r\nStartup=0\r\nEnabled=1\r\nInterval=7\r\n");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    SendTrayEvent(main_, WM_RBUTTONDOWN);
    SendTrayEvent(main_, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = OpenPopupMenu(app_->Id())) != nullptr; }));
    for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);  // Open, Close, Settings
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_EQ(Delay(dialog), "7");
    EXPECT_TRUE(Ticked(dialog, s::Check2));
    EXPECT_FALSE(Ticked(dialog, s::Check1));
    EXPECT_TRUE(Ticked(dialog, s::Check3));

    Apply(dialog);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    EXPECT_TRUE(TrayIconPresent(main_));
    CloseWithYes();
}

TEST_F(Settings, ApplyRetimesTheRunningCheckAndKeepsTheRestOfTheFile) {
    const std::string rules =
        "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Begins\r\nCase    1=No\r\n";
    Start(rules + "[Settings]\r\nEnabled=0\r\nInterval=30\r\n; kept\r\n[Zzz]\r\nx = 1 ");
    PopupHost first({"IEFrame|shown|Prize one"});
    Sleep(1500);
    ASSERT_NE(first.Window("IEFrame", "Prize one"), nullptr) << "the killer starts off";

    const auto apply = [&](int delaySteps, bool toggleKiller) {
        HWND dialog = Open(ids::MenuSettings);
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < delaySteps; ++i) Click(GetDlgItem(dialog, s::Command2));
        if (toggleKiller) Click(GetDlgItem(dialog, s::Check3));
        Apply(dialog);
    };
    apply(29, true);  // delay 1, killer on
    EXPECT_TRUE(WaitUntil([&] { return first.Window("IEFrame", "Prize one") == nullptr; }, 2500ms))
        << "no kill within the new period";
    EXPECT_EQ(ProfileBytes(), rules +
                                  "[Settings]\r\nEnabled=1\r\nInterval=1\r\nMinimized=0\r\nStartup=0\r\n; kept\r\n"
                                  "[Zzz]\r\nx = 1 ");

    apply(0, true);  // killer off
    PopupHost second({"IEFrame|shown|Prize two"});
    Sleep(2500);
    EXPECT_NE(second.Window("IEFrame", "Prize two"), nullptr) << "unticking stops the checks";

    apply(0, true);  // on again after an Apply turned it off
    EXPECT_TRUE(WaitUntil([&] { return second.Window("IEFrame", "Prize two") == nullptr; }, 2500ms));
    CloseWithYes();
}

std::optional<std::string> RunValue(HKEY root, const std::string& name) {
    char data[1024] = {};
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (RegGetValueA(root, kRunKey, name.c_str(), RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return std::nullopt;
    return type == REG_SZ ? std::string(data) : "(not a string)";
}

TEST(SettingsRegistration, TheRunValueAppearsQuotedForAFolderWithASpaceAndGoesWhenUnticked) {
    ScratchFolder folder("zapnix e2e");
    struct Cleanup {
        ~Cleanup() {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, "Zapnix");
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Zapnix");
        }
    } cleanup;
    ZapnixProcess app(folder);
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    const auto applyToggled = [&] {
        ChooseCommand(main, ids::MenuSettings);
        HWND dialog = nullptr;
        // Shown only once it is filled.
        ASSERT_TRUE(
            WaitUntil([&] { return (dialog = app.FindWindowOf("SettingsFrm", nullptr)) && IsWindowVisible(dialog); }));
        Click(GetDlgItem(dialog, s::Check1));
        Click(GetDlgItem(dialog, s::Command3));
        auto box = app.WaitForMessageBox("Message:");
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text, kApplied);
        Answer(*box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    };

    applyToggled();
    const std::string quoted = '"' + folder.File("Zapnix.exe").append(1, '"');
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, "Zapnix"), quoted);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, "Zapnix"), std::nullopt);
    EXPECT_NE(folder.Read("quorb.ini")->find("Startup=1\r\n"), std::string::npos);

    // A value left for the user (by a run without the rights for every user) goes too.
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Zapnix", REG_SZ, "x", 2);
    applyToggled();  // the box comes back ticked from the file: untick it
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, "Zapnix"), std::nullopt);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, "Zapnix"), std::nullopt);
    EXPECT_NE(folder.Read("quorb.ini")->find("Startup=0\r\n"), std::string::npos);

    PostMessageA(main, WM_CLOSE, 0, 0);
    auto box = app.WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    Answer(*box, IDYES);
    EXPECT_TRUE(app.WaitForExit());
}

}  // namespace
}  // namespace zapnix::e2e
