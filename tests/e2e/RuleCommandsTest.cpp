#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using ids::edit::Combo1;
using ids::edit::Combo2;
using ids::edit::Combo3;
constexpr int kApply = ids::edit::Command1;

class RuleCommands : public ZapnixSession {
protected:
    HWND List() const { return Control(ids::WinList); }
    Rows RulesShown() const { return app_->ListRows(List(), 4); }
    std::string TextBox() const { return WindowText(Control(ids::WinTxt)); }

    // Clicks a row's text, which opens the editor.
    HWND Edit(int row) const {
        app_->ClickListRow(List(), row, false);
        return app_->WaitForShown("WinEditFrm");
    }
    static std::vector<std::string> Cells(HWND editor) {
        std::vector<std::string> cells;
        for (int id : {ids::edit::Text1, Combo1, Combo2, Combo3}) cells.push_back(WindowText(GetDlgItem(editor, id)));
        return cells;
    }
    // Replaces the title in the editor as the keyboard would.
    static void Retitle(HWND editor, const std::string& title) {
        EraseText(GetDlgItem(editor, ids::edit::Text1));
        TypeText(GetDlgItem(editor, ids::edit::Text1), title);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, ids::edit::Text1)) == title; }));
    }
};

TEST_F(RuleCommands, AddAndDeleteTickedChangeTheListThatTheNextTickUses) {
    std::string profile = "[Settings]\r\nEnabled=1\r\nInterval=1\r\n[Windows]\r\nTotal=3\r\n";
    for (int i = 1; i <= 3; ++i) profile += Rule(i, "rule " + std::to_string(i), "Exact");
    Start(profile);
    ExpectMessage(Control(ids::Command4), "Please enter a window title before adding a new rule.");
    ExpectMessage(Control(ids::Command3), "Please select at least one window to remove!");
    EXPECT_EQ(RulesShown().size(), 3u) << "nothing added, nothing removed";

    PopupHost host({"IEFrame|shown|Win A Prize"});
    TypeText(Control(ids::WinTxt), "win a prize");
    ASSERT_TRUE(WaitUntil([&] { return TextBox() == "win a prize"; }));
    Click(Control(ids::Command4));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 4; }));
    EXPECT_EQ(RulesShown()[3], (std::vector<std::string>{"win a prize", "Yes", "Exact", "No"}));
    EXPECT_EQ(TextBox(), "win a prize") << "the text box keeps its text";
    EXPECT_TRUE(WaitUntil([&] { return host.Window("IEFrame", "Win A Prize") == nullptr; }))
        << "the new rule kills at the next tick";

    app_->ClickListRow(List(), 1, true);
    app_->ClickListRow(List(), 2, true);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(List(), 1) && app_->ListRowTicked(List(), 2); }));
    EXPECT_EQ(app_->FindWindowOf("WinEditFrm", nullptr), nullptr) << "ticking never opens the editor";
    EXPECT_TRUE(IsWindowVisible(main_));
    // Tick and untick again with the keyboard: the focus moves to the last row, the space bar toggles it.
    PressKey(List(), VK_END);
    PressKey(List(), VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(List(), 3); })) << "the space bar ticks the focused row";
    PressKey(List(), VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return !app_->ListRowTicked(List(), 3); }));

    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 2; }));
    EXPECT_EQ(RulesShown(), (Rows{{"rule 1", "Yes", "Exact", "No"}, {"win a prize", "Yes", "Exact", "No"}}));
    EXPECT_FALSE(app_->WaitForMessageBox("Message:", 500ms).has_value()) << "no message after removing";
    EXPECT_EQ(ProfileBytes(), profile) << "nothing is written before closing";

    for (int row = 0; row < 2; ++row) app_->ClickListRow(List(), row, true);
    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().empty(); }));
    ExpectMessage(Control(ids::Command3), "There are currently no windows to delete!");
}

TEST_F(RuleCommands, TheEditorOpensOnTheTopmostEqualRuleAndWritesBackOnlyThatRule) {
    Start("[Windows]\r\nTotal=3\r\n" + Rule(1, "Prize", "Contains") +
          "Title   2=Other\r\nActive  2=No\r\nMatch   2=Ends\r\nCase    2=Yes\r\n"
          "Title   3=Prize\r\nActive  3=No\r\nMatch   3=Exact\r\nCase    3=Yes\r\n");
    HWND editor = Edit(2);  // the lower of the two "Prize" rows
    ASSERT_NE(editor, nullptr) << "a click on a row opens the editor";
    EXPECT_FALSE(IsWindowVisible(main_)) << "the main window hides meanwhile";
    EXPECT_EQ(Cells(editor), (std::vector<std::string>{"Prize", "Yes", "Contains", "No"})) << "the upper rule's";

    // Emptied combo boxes fall back at once; other typed text stays as typed, and typing over the selected
    // text never empties the box on the way.
    for (const auto& [combo, fallback] : {std::pair{Combo2, "Exact"}, {Combo3, "No"}, {Combo1, "Yes"}}) {
        EraseText(GetWindow(GetDlgItem(editor, combo), GW_CHILD));
        EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, combo)) == fallback; })) << fallback;
    }
    PostMessageA(GetWindow(GetDlgItem(editor, Combo1), GW_CHILD), EM_SETSEL, 0, -1);
    TypeText(GetWindow(GetDlgItem(editor, Combo1), GW_CHILD), "Sometimes");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo1)) == "Sometimes"; }));

    Retitle(editor, "");
    ExpectMessage(GetDlgItem(editor, kApply), "Please enter a valid window title.");
    EXPECT_TRUE(IsWindow(editor)) << "an empty title is refused and the editor stays";
    Retitle(editor, "Big Prize");
    Click(GetDlgItem(editor, kApply));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    const Rows edited = {
        {"Big Prize", "Sometimes", "Exact", "No"}, {"Other", "No", "Ends", "Yes"}, {"Prize", "No", "Exact", "Yes"}};
    EXPECT_EQ(RulesShown(), edited);

    // The close box changes nothing and brings the main window back.
    ASSERT_NE(editor = Edit(1), nullptr);
    Retitle(editor, "discarded");
    PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    EXPECT_EQ(RulesShown(), edited);

    // The main window comes back ("Open Zapnix") while an editor is open, and its list changes: the opened
    // rule moves up and its row now holds another.
    ASSERT_NE(editor = Edit(1), nullptr);
    ChooseCommand(main_, ids::TrayOpen);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    app_->ClickListRow(List(), 0, true);
    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 2; }));
    Retitle(editor, "lost");
    Click(GetDlgItem(editor, kApply));
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "the user is told the edit was not applied";
    Answer(*error, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
    EXPECT_EQ(RulesShown(), (Rows{edited[1], edited[2]})) << "the opened rule, now at another row, is as it was";
}

}  // namespace
}  // namespace zapnix::e2e
