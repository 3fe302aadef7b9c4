#include "ZapnixSession.h"
#include "settings/SettingsIds.h"

namespace zapnix::e2e {
namespace {

namespace s = ids::settings;

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::string> RunValue(HKEY root) {
    char data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueA(root, kRunKey, "Zapnix", RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return {};
    return data;
}

// Zapnix in a folder whose name has a space, as under "Program Files".
class Settings : public ZapnixSession {
protected:
    Settings() : ZapnixSession("zapnix e2e") {}
    ~Settings() override {
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, "Zapnix");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Zapnix");
    }
    // Opens the dialog from the menu; it shows only once it is filled.
    HWND Open() {
        ChooseCommand(main_, ids::MenuSettings);
        return app_->WaitForShown("SettingsFrm");
    }
    static std::string Delay(HWND dialog) { return WindowText(GetDlgItem(dialog, s::Text1)); }
    static bool Ticked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) != 0; }
    // Presses a button without a message box, and waits until it has been handled.
    static std::string Press(HWND dialog, int button) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, button), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
        return Delay(dialog);
    }
    // "Apply", its message answered: the message's title and text, after "stays: " when the dialog stays.
    std::string Apply(HWND dialog) {
        Click(GetDlgItem(dialog, s::Command3));
        const auto box = app_->WaitForMessageBox(nullptr);
        if (!box) return "no message";
        Answer(*box, IDOK);
        return (WaitUntil([&] { return !IsWindow(dialog); }, 2s) ? "" : "stays: ") + box->title + box->text;
    }
    void CloseBox(HWND dialog) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    const std::string kApplied = "Message:All setings have been updated successfully!";
};

TEST_F(Settings, FromTheTrayOrTheMenuApplyRetimesTheCheckWritesTheFileAndRegistersTheQuotedPath) {
    const std::string rules = "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Begins\r\n";
    const std::string profile =
        rules + "[Settings]\r\nEnabled=0\r\nMinimized=1\r\nStartup=0\r\n; kept\r\n[Zzz]\r\nx = 1 ";
    Start(profile);
    PopupHost first({"IEFrame|shown|Prize one"});
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    ASSERT_TRUE(OpenTrayMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));  // "Settings"
    HWND dialog = app_->WaitForShown("SettingsFrm");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(main_)) << "only the dialog appears";
    EXPECT_EQ(Open(), dialog) << "one dialog at a time";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), GetWindow(main_, GW_OWNER)) << "the hidden owner keeps it off the taskbar";
    EXPECT_EQ(Delay(dialog), "0");
    EXPECT_EQ((std::vector{Ticked(dialog, s::Check1), Ticked(dialog, s::Check2), Ticked(dialog, s::Check3)}),
              (std::vector{false, true, false}));

    EXPECT_EQ(Press(dialog, s::Command2), "0");
    Press(dialog, s::Check3);
    // A killer without a delay would never check: refused.
    EXPECT_EQ(Apply(dialog),
              "stays: Message:Please set the popup check delay to at least 1 second before enabling "
              "the pop killer.");
    CloseBox(dialog);
    EXPECT_EQ(ProfileBytes(), profile) << "neither the refusal nor the close box writes";

    dialog = Open();
    EXPECT_FALSE(Ticked(dialog, s::Check3)) << "each opening starts from the file";
    EXPECT_EQ(Press(dialog, s::Command1), "1");
    Press(dialog, s::Check3);  // on, every second
    Press(dialog, s::Check1);
    Press(dialog, s::Check2);
    ASSERT_NE(first.Window("IEFrame", "Prize one"), nullptr) << "the killer starts off";
    EXPECT_EQ(Apply(dialog), kApplied);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) << "Apply shows the main window";
    EXPECT_TRUE(TrayIconPresent(main_));
    EXPECT_TRUE(WaitUntil([&] { return !first.Window("IEFrame", "Prize one"); }, 2500ms));
    EXPECT_EQ(ProfileBytes(), rules +
                                  "[Settings]\r\nEnabled=1\r\nMinimized=0\r\nStartup=1\r\nInterval=1\r\n"
                                  "; kept\r\n[Zzz]\r\nx = 1 ");
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), '"' + folder_.File("Zapnix.exe").append(1, '"'));
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::nullopt);

    // Off, then on again; while off, neither the check nor the window events close a pop-up.
    const auto toggleKiller = [&](bool wasOn) {
        dialog = Open();
        EXPECT_EQ(Delay(dialog), "1") << "as stored";
        EXPECT_EQ(Ticked(dialog, s::Check3), wasOn);
        Press(dialog, s::Check3);
        EXPECT_EQ(Apply(dialog), kApplied);
    };
    toggleKiller(true);
    PopupHost second({"IEFrame|shown|Prize two"});
    Sleep(2500);
    EXPECT_NE(second.Window("IEFrame", "Prize two"), nullptr) << "unticking stops the checks";
    toggleKiller(false);
    EXPECT_TRUE(WaitUntil([&] { return !second.Window("IEFrame", "Prize two"); }, 2500ms));
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
