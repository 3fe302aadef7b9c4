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

    // Expects the closing question now and answers it.
    void AnswerCloseQuestion(int button) {
        auto box = app_->WaitForMessageBox("Message:");
        ASSERT_TRUE(box.has_value()) << "no closing question";
        EXPECT_EQ(box->text, "Are you sure you want to close Zapnix?");
        Answer(*box, button);
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

    ScratchFolder folder_;
    std::unique_ptr<ZapnixProcess> app_;
    HWND main_ = nullptr;
};

}  // namespace zapnix::e2e
