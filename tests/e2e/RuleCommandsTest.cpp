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
    void ExpectMessage(int button, const std::string& text) {
        Click(Control(button));
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
};

using ids::edit::Text1;
using ids::edit::Combo1;
using ids::edit::Combo2;
using ids::edit::Combo3;
constexpr int kApply = ids::edit::Command1;

std::string FiveRules() {
    std::string file = "[Windows]\r\nTotal=5\r\n";
    for (int i = 1; i <= 5; ++i) {
        const std::string n = std::to_string(i);
        file += "Title   " + n + "=rule " + n + "\r\nActive  " + n + "=Yes\r\nMatch   " + n + "=Exact\r\nCase    " + n +
                "=No\r\n";
    }
    return file;
}

TEST_F(RuleCommands, AddRuleAppendsTheTypedTitleAndTheNextTickUsesIt) {
    Start("[Settings]\r\nEnabled=1\r\nInterval=1\r\n");
    ExpectMessage(ids::Command4, "Please enter a window title before adding a new rule.");
    EXPECT_TRUE(RulesShown().empty());

    PopupHost host({"IEFrame|shown|Win A Prize", "Notepad|shown|win a prize"});
    TypeText(Control(ids::WinTxt), "win a prize");
    ASSERT_TRUE(WaitUntil([&] { return TextBox() == "win a prize"; }));
    Click(Control(ids::Command4));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown() == Rows{{"win a prize", "Yes", "Exact", "No"}}; }));
    EXPECT_EQ(TextBox(), "win a prize") << "the text box keeps its text";

    EXPECT_TRUE(WaitUntil([&] { return host.Window("IEFrame", "Win A Prize") == nullptr; }))
        << "the new rule kills at the next tick, ignoring letter case";
    EXPECT_NE(host.Window("Notepad", "win a prize"), nullptr);

    Click(Control(ids::Command4));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 2; })) << "an equal rule is added again";
    CloseWithYes();
    EXPECT_EQ(ProfileBytes(),
              "[Settings]\r\nEnabled=1\r\nInterval=1\r\n[Windows]\r\nTotal=2\r\n"
              "Title   1=win a prize\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n"
              "Title   2=win a prize\r\nActive  2=Yes\r\nMatch   2=Exact\r\nCase    2=No\r\n");
}

TEST_F(RuleCommands, DeleteTickedRemovesExactlyTheRowsTickedByMouseOrKeyboard) {
    Start(FiveRules());
    ExpectMessage(ids::Command3, "Please select at least one window to remove!");
    EXPECT_EQ(RulesShown().size(), 5u) << "nothing ticked, nothing removed";

    app_->ClickListRow(List(), 1, true);
    app_->ClickListRow(List(), 2, true);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(List(), 1) && app_->ListRowTicked(List(), 2); }));
    EXPECT_EQ(app_->FindWindowOf("WinEditFrm", nullptr), nullptr) << "ticking never opens the editor";
    EXPECT_TRUE(IsWindowVisible(main_));
    // Tick and untick again with the keyboard: the focus moves to the last row, the space bar toggles it.
    PressKey(List(), VK_END);
    PressKey(List(), VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(List(), 4); })) << "the space bar ticks the focused row";
    PressKey(List(), VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return !app_->ListRowTicked(List(), 4); }));

    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 3; }));
    EXPECT_EQ(
        RulesShown(),
        (Rows{{"rule 1", "Yes", "Exact", "No"}, {"rule 4", "Yes", "Exact", "No"}, {"rule 5", "Yes", "Exact", "No"}}));
    EXPECT_FALSE(app_->WaitForMessageBox("Message:", 500ms).has_value()) << "no message after removing";
    EXPECT_EQ(ProfileBytes(), FiveRules()) << "nothing is written before closing";

    for (int row = 0; row < 3; ++row) app_->ClickListRow(List(), row, true);
    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().empty(); }));
    ExpectMessage(ids::Command3, "There are currently no windows to delete!");
    CloseWithYes();
    EXPECT_NE(ProfileBytes()->find("Total=0\r\n"), std::string::npos);
}

TEST_F(RuleCommands, TheEditorOpensOnTheTopmostEqualRuleAndWritesItBack) {
    Start(
        "[Windows]\r\nTotal=3\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\nCase    1=No\r\n"
        "Title   2=Other\r\nActive  2=No\r\nMatch   2=Ends\r\nCase    2=Yes\r\n"
        "Title   3=Prize\r\nActive  3=No\r\nMatch   3=Exact\r\nCase    3=Yes\r\n");
    app_->ClickListRow(List(), 2, false);  // the lower of the two "Prize" rows
    HWND editor = Editor();
    ASSERT_NE(editor, nullptr) << "a click on a row opens the editor";
    EXPECT_FALSE(IsWindowVisible(main_)) << "the main window hides meanwhile";
    EXPECT_EQ(WindowText(GetDlgItem(editor, Text1)), "Prize");
    EXPECT_EQ(WindowText(GetDlgItem(editor, Combo1)), "Yes") << "the upper rule's cells";
    EXPECT_EQ(WindowText(GetDlgItem(editor, Combo2)), "Contains");
    EXPECT_EQ(WindowText(GetDlgItem(editor, Combo3)), "No");

    // Emptied combo boxes fall back at once; other typed text stays as typed.
    EraseText(ComboEdit(editor, Combo2));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo2)) == "Exact"; }));
    EraseText(ComboEdit(editor, Combo3));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo3)) == "No"; }));
    EraseText(ComboEdit(editor, Combo1));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo1)) == "Yes"; }));
    // Typing over the selected text never empties the box on the way.
    PostMessageA(ComboEdit(editor, Combo1), EM_SETSEL, 0, -1);
    TypeText(ComboEdit(editor, Combo1), "Sometimes");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Combo1)) == "Sometimes"; }));

    // An empty title is refused and the editor stays.
    EraseText(GetDlgItem(editor, Text1));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Text1)).empty(); }));
    Click(GetDlgItem(editor, kApply));
    auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Please enter a valid window title.");
    Answer(*box, IDOK);
    EXPECT_TRUE(IsWindow(editor));

    TypeText(GetDlgItem(editor, Text1), "Big Prize");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Text1)) == "Big Prize"; }));
    Click(GetDlgItem(editor, kApply));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    EXPECT_EQ(RulesShown(), (Rows{{"Big Prize", "Sometimes", "Exact", "No"},
                                  {"Other", "No", "Ends", "Yes"},
                                  {"Prize", "No", "Exact", "Yes"}}));

    // The close box changes nothing and brings the main window back.
    app_->ClickListRow(List(), 1, false);
    editor = Editor();
    ASSERT_NE(editor, nullptr);
    EraseText(GetDlgItem(editor, Text1));
    TypeText(GetDlgItem(editor, Text1), "discarded");
    PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main_); }));
    EXPECT_EQ(RulesShown()[1], (std::vector<std::string>{"Other", "No", "Ends", "Yes"}));
    CloseWithYes();
}

TEST_F(RuleCommands, AnEditNeverLandsInARuleOtherThanTheOneOpened) {
    Start(FiveRules());
    app_->ClickListRow(List(), 3, false);  // "rule 4"
    HWND editor = Editor();
    ASSERT_NE(editor, nullptr);
    // The main window comes back ("Open Zapnix") and the list changes under the editor.
    ChooseCommand(main_, ids::TrayOpen);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    app_->ClickListRow(List(), 0, true);
    Click(Control(ids::Command3));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 4; }));

    EraseText(GetDlgItem(editor, Text1));
    TypeText(GetDlgItem(editor, Text1), "edited");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(editor, Text1)) == "edited"; }));
    Click(GetDlgItem(editor, kApply));
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "the user is told";
    Answer(*error, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
    for (const auto& row : RulesShown()) EXPECT_NE(row[0], "edited");
    EXPECT_EQ(RulesShown()[2][0], "rule 4") << "the opened rule, now at another row, is as it was";
    CloseWithYes();
}

TEST_F(RuleCommands, DraggingTheTargetOntoABrowserTitleBarTakesItsTitle) {
    Start();
    PopupHost host({"mozillaWINDOWclass|shown|Dragged Pop-up - Mozilla Firefox", "Notepad|shown|Some document"});
    HWND browser = host.Window("mozillaWINDOWclass", "Dragged Pop-up - Mozilla Firefox");
    HWND other = host.Window("Notepad", "Some document");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(other, nullptr);
    const auto titleBar = [](HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return POINT{(rect.left + rect.right) / 2, rect.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    };
    const POINT target = CentreOf(Control(ids::PicClick));

    DragWithMouse(target, titleBar(browser));
    EXPECT_TRUE(WaitUntil([&] { return TextBox() == "Dragged Pop-up - Mozilla Firefox"; })) << TextBox();
    EXPECT_NE(host.Window("mozillaWINDOWclass", "Dragged Pop-up - Mozilla Firefox"), nullptr) << "nothing is closed";
    EXPECT_TRUE(RulesShown().empty()) << "and no rule is added";

    DragWithMouse(target, titleBar(other), true);  // the right button drags too
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->text, "This is not a valid browser window (Notepad)");
    Answer(*error, IDOK);
    EXPECT_EQ(TextBox(), "Dragged Pop-up - Mozilla Firefox") << "a refused drop leaves the text box alone";

    DragWithMouse(target, target);  // released where it was pressed: the target itself is no browser
    error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->text, "This is not a valid browser window (Static)");
    Answer(*error, IDOK);
    CloseWithYes();
}

TEST_F(RuleCommands, ATitleWithLineBreaksBecomesOneSoundRule) {
    Start("[Settings]\r\nEnabled=0\r\n");
    PopupHost host({"IEFrame|shown|Win\\r\\n[Settings]\\nEnabled=1"});
    HWND browser = host.Window("IEFrame", "Win\r\n[Settings]\nEnabled=1");
    ASSERT_NE(browser, nullptr);
    RECT rect{};
    GetWindowRect(browser, &rect);
    DragWithMouse(CentreOf(Control(ids::PicClick)), POINT{(rect.left + rect.right) / 2, rect.top + 10});
    ASSERT_TRUE(WaitUntil([&] { return !TextBox().empty(); })) << "the title lands in the text box";
    Click(Control(ids::Command4));
    ASSERT_TRUE(WaitUntil([&] { return RulesShown().size() == 1; }));
    CloseWithYes();
    // Whatever the text box kept of the line breaks, the file holds one rule and the settings stay.
    const std::string bytes = *ProfileBytes();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "every line ends in CRLF, none in a lone CR or LF";
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 8u) << bytes;
    EXPECT_EQ(lines[0], "[Settings]");
    EXPECT_EQ(lines[1], "Enabled=0");
    EXPECT_EQ(lines[2], "[Windows]");
    EXPECT_EQ(lines[3], "Total=1");
    EXPECT_EQ(lines[4].rfind("Title   1=Win", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5], "Active  1=Yes");
}

}  // namespace
}  // namespace zapnix::e2e
