#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "engine/PopupKiller.h"
#include "rules/RuleCommands.h"

namespace zapnix {
namespace {

class Recorder final : public KillRecorder {
public:
    explicit Recorder(testing::FakeDesktop& desktop) : desktop_(desktop) {}
    void RecordKill(const std::string& title) override {
        // The close request is posted before the kill is recorded.
        closedBeforeRecord.push_back(desktop_.closed.size());
        titles.push_back(title);
    }
    std::vector<std::string> titles;
    std::vector<std::size_t> closedBeforeRecord;

private:
    testing::FakeDesktop& desktop_;
};

class CheckPass : public ::testing::Test {
protected:
    void Rule(std::string pattern, std::string match = "Exact") { rules_.Append({pattern, "Yes", match, "No"}); }
    void Pass() { killer_.CheckWindows(); }

    testing::FakeDesktop desktop_;
    RuleList rules_;
    AsciiTextCase textCase_;
    Recorder recorder_{desktop_};
    PopupKiller killer_{desktop_, rules_, textCase_, recorder_};  // one for the whole run, as the main window's
};

TEST_F(CheckPass, ClosesAndRecordsEachMatchingBrowserFrameOnceInEnumerationOrder) {
    Rule("win a prize");
    Rule("Lottery", "Contains");
    Rule("Big", "Begins");  // a second rule for the Mozilla window: still one close, one entry
    const auto ie = desktop_.Open("IEFrame", "Win a Prize");
    desktop_.Open("#32770", "Win a Prize");  // a dialog with the same title is never touched
    desktop_.Open("IEFrame2", "Win a Prize");
    desktop_.MakeUnreadable(desktop_.Open("IEFrame", "Win a Prize"));  // an unreadable class is no browser's
    desktop_.Open("Notepad", "Lottery");
    const auto mozilla = desktop_.Open("MozillaWindowClass", "Big Lottery - Mozilla Firefox");
    desktop_.Open("MozillaWindowClass", "News - Mozilla Firefox");
    const auto upper = desktop_.Open("MOZILLAWINDOWCLASS", "WIN A PRIZE");
    Pass();
    EXPECT_EQ(desktop_.closed, (std::vector<WindowHandle>{ie, mozilla, upper}));
    EXPECT_EQ(recorder_.titles,
              (std::vector<std::string>{"Win a Prize", "Big Lottery - Mozilla Firefox", "WIN A PRIZE"}));
    EXPECT_EQ(recorder_.closedBeforeRecord, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(desktop_.titleReads, 4) << "titles are read only from browser frames";
}

// The index is kept between passes; any change of the list must reach the next pass all the same. A
// window still there is met again by every pass.
TEST_F(CheckPass, EveryPassSeesTheRulesAsTheyStandNow) {
    desktop_.Open("IEFrame", "Win a Prize");
    const auto kills = [&] { return Pass(), recorder_.titles.size(); };
    EXPECT_EQ(kills(), 0u);
    Rule("Prize", "Ends");
    EXPECT_EQ(kills(), 1u) << "added";
    ApplyEdit(rules_, {0, rules_.Row(0)}, {"Prize", "Yes", "Begins", "No"});
    EXPECT_EQ(kills(), 1u) << "edited";
    Rule("win a prize");
    EXPECT_EQ(kills(), 2u) << "added again";
    rules_.Row(1).ticked = true;
    rules_.DeleteTicked(true);
    EXPECT_EQ(kills(), 2u) << "deleted";
    RuleList other;
    other.Append({"Win a Prize", "Yes", "Exact", "Yes"});
    rules_ = other;
    EXPECT_EQ(kills(), 3u) << "replaced";
    RuleList taken = std::move(rules_);
    EXPECT_EQ(kills(), 3u) << "moved away";
}

}  // namespace
}  // namespace zapnix
