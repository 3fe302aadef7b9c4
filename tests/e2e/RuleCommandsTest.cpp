#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class RuleCommands : public ZapnixSession {
protected:
    HWND List() const { return Control(ids::WinList); }
    Rows RulesShown() const { return app_->ListRows(List(), 4); }
    std::string TextBox() const { return WindowText(Control(ids::WinTxt)); }

    // Presses a button and expects the information box with this text.
    void ExpectMessage(HWND button, const std::string& text) {
        Click(button);
        auto box = app_->WaitForMessageBox("Message:");
        ASSERT_TRUE(box.has_value()) << "no message for: " << text;
        EXPECT_EQ(box->text, text);
        Answer(*box, IDOK);
    }

    HWND Editor() const {
        HWND editor = nullptr;
        WaitUntil([&] {
            return (editor = app_->FindWindowOf("WinEditFrm", "Zapnix Popup Killer")) && IsWindowVisible(editor);
        });
        return editor;
    }
    static HWND ComboEdit(HWND editor, int comboId) { return GetWindow(GetDlgItem(editor, comboId), GW_CHILD); }
    static std::vector<std::string> Cells(HWND editor) {
        std::vector<std::string> cells;
        for (int id : {ids::edit::Text1, ids::edit::Combo1, ids::edit::Combo2, ids::edit::Combo3})
            cells.push_back(WindowText(GetDlgItem(editor, id)));
        return cells;
    }
    // Replaces the title in the editor as the keyboard would.
    static void Retitle(HWND editor, const std::string& title) {
        EraseText(GetDlgItem(editor, ids::edit::Text1));
        TypeText(GetDlgItem(editor, ids::edit::Text1), title);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, ids::edit::Text1)) == title; }));
    }
};

using ids::edit::Combo1;
using ids::edit::Combo2;
using ids::edit::Combo3;
constexpr int kApply = ids::edit::Command1;

std::string Rules(int count) {
    std::string file = "[Windows]\r\nTotal=" + std::to_string(count) + "\r\n";
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        file += "Title   " + n + "=rule " + n + "\r\nActive  " + n + "=Yes\r\nMatch   " + n + "=Exact\r\nCase    " + n +
                "=No\r\n";
    }
    return file;
}

TEST_F(RuleCommands, AddAndDeleteTickedChangeTheListThatTheNextTickUses) {
    const std::string profile = "[Settings]\r\nEnabled=1\r\nInterval=1\r\n" + Rules(3);
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
    Start(
        "[Windows]\r\nTotal=3\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\nCase    1=No\r\n"
        "Title   2=Other\r\nActive  2=No\r\nMatch   2=Ends\r\nCase    2=Yes\r\n"
        "Title   3=Prize\r\nActive  3=No\r\nMatch   3=Exact\r\nCase    3=Yes\r\n");
    app_->ClickListRow(List(), 2, false);  // the lower of the two "Prize" rows
    HWND editor = Editor();
    ASSERT_NE(editor, nullptr) << "a click on a row opens the editor";
    EXPECT_FALSE(IsWindowVisible(main_)) << "the main window hides meanwhile";
    EXPECT_EQ(Cells(editor), (std::vector<std::string>{"Prize", "Yes", "Contains", "No"})) << "the upper rule's";

    // Emptied combo boxes fall back at once; other typed text stays as typed.
    for (const auto& [combo, fallback] : {std::pair{Combo2, "Exact"}, {Combo3, "No"}, {Combo1, "Yes"}}) {
        EraseText(ComboEdit(editor, combo));
        EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, combo)) == fallback; })) << fallback;
    }
    // Typing over the selected text never empties the box on the way.
    PostMessageA(ComboEdit(editor, Combo1), EM_SETSEL, 0, -1);
    TypeText(ComboEdit(editor, Combo1), "Sometimes");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo1)) == "Sometimes"; }));

    // An empty title is refused and the editor stays.
    Retitle(editor, "");
    ExpectMessage(GetDlgItem(editor, kApply), "Please enter a valid window title.");
    EXPECT_TRUE(IsWindow(editor));
    Retitle(editor, "Big Prize");
    Click(GetDlgItem(editor, kApply));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    const Rows edited = {
        {"Big Prize", "Sometimes", "Exact", "No"}, {"Other", "No", "Ends", "Yes"}, {"Prize", "No", "Exact", "Yes"}};
    EXPECT_EQ(RulesShown(), edited);

    // The close box changes nothing and brings the main window back.
    app_->ClickListRow(List(), 1, false);
    editor = Editor();
    ASSERT_NE(editor, nullptr);
    Retitle(editor, "discarded");
    PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    EXPECT_EQ(RulesShown(), edited);

    // The main window comes back ("Open Zapnix") while an editor is open, and its list changes: the opened
    // rule moves up and its row now holds another.
    app_->ClickListRow(List(), 1, false);
    editor = Editor();
    ASSERT_NE(editor, nullptr);
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

TEST_F(RuleCommands, DraggingTheTargetOntoABrowserTitleBarTakesItsTitle) {
    Start();
    PopupHost host({"mozillaWINDOWclass|shown|Dragged Pop-up - Mozilla Firefox", "Notepad|shown|Some document"});
    HWND browser = host.Window("mozillaWINDOWclass", "Dragged Pop-up - Mozilla Firefox");
    HWND other = host.Window("Notepad", "Some document");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(other, nullptr);
    const POINT target = CentreOf(Control(ids::PicClick));

    DragWithMouse(target, TitleBarOf(browser));
    EXPECT_TRUE(WaitUntil([&] { return TextBox() == "Dragged Pop-up - Mozilla Firefox"; })) << TextBox();
    EXPECT_NE(host.Window("mozillaWINDOWclass", "Dragged Pop-up - Mozilla Firefox"), nullptr) << "nothing is closed";
    EXPECT_TRUE(RulesShown().empty()) << "and no rule is added";

    DragWithMouse(target, TitleBarOf(other), true);  // the right button drags too
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->text, "This is not a valid browser window (Notepad)");
    Answer(*error, IDOK);
    EXPECT_EQ(TextBox(), "Dragged Pop-up - Mozilla Firefox") << "a refused drop leaves the text box alone";
}

}  // namespace
}  // namespace zapnix::e2e
