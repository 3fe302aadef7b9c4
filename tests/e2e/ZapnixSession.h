#pragma once
// A running Zapnix in its own scratch folder, with the steps most tests share.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Driver.h"
#include "app/ZapnixIds.h"
#include "killlog/LogIds.h"
#include "picking/WinPickIds.h"
#include "rules/WinEditIds.h"

namespace zapnix::e2e {

using Rows = std::vector<std::vector<std::string>>;

// An active rule that ignores letter case, as row `i` of quorb.ini.
inline std::string Rule(int i, const std::string& title, const std::string& match) {
    const std::string n = std::to_string(i);
    return "Title   " + n + "=" + title + "\r\nActive  " + n + "=Yes\r\nMatch   " + n + "=" + match + "\r\nCase    " +
           n + "=No\r\n";
}

class ZapnixSession : public ::testing::Test {
protected:
    // `folderStem` starts the name of the scratch folder that Zapnix runs in.
    explicit ZapnixSession(const std::string& folderStem = "zapnix-e2e") : folder_(folderStem) {}

    // Starts Zapnix with `profile` as quorb.ini (no file when nullopt) and waits for its main window.
    void Start(const std::optional<std::string>& profile = std::nullopt) {
        if (profile) folder_.Write("quorb.ini", *profile);
        app_ = std::make_unique<ZapnixProcess>(folder_);
        main_ = app_->MainWindow();
        ASSERT_NE(main_, nullptr) << "the main window did not appear";
    }

    HWND Control(int id) const { return GetDlgItem(main_, id); }

    // Presses a button and expects the box with this title and text, which it answers.
    void ExpectMessage(HWND button, const std::string& text, const char* title = "Message:", int answer = IDOK) {
        if (button) Click(button);
        auto box = app_->WaitForMessageBox(title);
        ASSERT_TRUE(box.has_value()) << "no message box for: " << text;
        EXPECT_EQ(box->text, text);
        Answer(*box, answer);
    }
    void AnswerCloseQuestion(int button) {
        ExpectMessage(nullptr, "Are you sure you want to close Zapnix?", "Message:", button);
    }
    void CloseWithYes() {
        Click(Control(ids::Command1));
        AnswerCloseQuestion(IDYES);
        ASSERT_TRUE(app_->WaitForExit()) << "Zapnix did not end after Yes";
    }

    // Right press and release on the hidden window's tray icon, then these keys in its menu: the menu, or null
    // when none opened.
    HWND OpenTrayMenu(std::initializer_list<UINT> keys = {}) {
        SendTrayEvent(main_, WM_RBUTTONDOWN);
        SendTrayEvent(main_, WM_RBUTTONUP);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = OpenPopupMenu(app_->Id())) != nullptr; });
        for (UINT key : keys)
            if (menu) PostMessageA(menu, WM_KEYDOWN, key, 0);
        return menu;
    }

    std::optional<std::string> ProfileBytes() const { return folder_.Read("quorb.ini"); }

    // The kill log's title and date rows, as the system's own profile functions read them.
    Rows KillLogRows() const {
        const std::string path = folder_.File("poplog.ini");
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
        const auto read = [&](const std::string& key) {
            char value[260] = {};
            GetPrivateProfileStringA("Windows", key.c_str(), "", value, sizeof(value), path.c_str());
            return std::string(value);
        };
        Rows entries;
        for (int i = 1, total = static_cast<int>(GetPrivateProfileIntA("Windows", "Total", 0, path.c_str()));
             i <= total; ++i)
            entries.push_back({read("Title  " + std::to_string(i)), read("Date  " + std::to_string(i))});
        return entries;
    }

    ScratchFolder folder_;
    std::unique_ptr<ZapnixProcess> app_;
    HWND main_ = nullptr;
};

}  // namespace zapnix::e2e
