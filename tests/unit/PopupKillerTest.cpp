#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "engine/PopupKiller.h"
#include "rules/RuleCommands.h"

namespace zapnix {
namespace {

using Titles = std::vector<std::string>;

class Recorder final : public KillRecorder {
public:
    void RecordKill(const std::string& title) override { titles.push_back(title); }
    void ReportUndeliveredClose(const std::string& title) override { undelivered.push_back(title); }
    Titles titles;
    Titles undelivered;
};

class CheckPass : public ::testing::Test {
protected:
    CheckPass() { frames_.SetChromiumBrowsers(std::vector<std::string>{"chrome.exe"}); }
    void Rule(std::string pattern, std::string match = "Exact") { rules_.Append({pattern, "Yes", match, "No"}); }
    void Pass() { killer_.CheckWindows(); }

    testing::FakeDesktop desktop_;
    RuleList rules_;
    AsciiTextCase textCase_;
    Recorder recorder_;
    BrowserFrames frames_{desktop_, desktop_, textCase_};
    PopupKiller killer_{desktop_, frames_, rules_, textCase_,
                        recorder_};  // one for the whole run, as the main window's
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
    // The class that Chrome shares with other programs: only the browser's windows are closed.
    const auto chrome = desktop_.Open("Chrome_WidgetWin_1", "Lottery - Google Chrome", desktop_.Run("C:\\chrome.exe"));
    desktop_.Open("Chrome_WidgetWin_1", "Lottery - Slack", desktop_.Run("C:\\slack.exe"));
    Pass();
    EXPECT_EQ(desktop_.closed, (std::vector<WindowHandle>{ie, mozilla, upper, chrome}));
    EXPECT_EQ(recorder_.titles,
              (Titles{"Win a Prize", "Big Lottery - Mozilla Firefox", "WIN A PRIZE", "Lottery - Google Chrome"}));
}

// A window of an elevated program refuses every request, pass after pass; so does one that has gone.
TEST_F(CheckPass, AnUndeliveredCloseIsNoKillAndIsReportedOnceWhileTheWindowRefuses) {
    Rule("Prize", "Contains");
    const auto elevated = desktop_.Open("IEFrame", "Prize 1");
    const auto other = desktop_.Open("IEFrame", "Prize 2");
    desktop_.refusing = {elevated, other};
    for (int pass = 0; pass < 2; ++pass) Pass();
    EXPECT_TRUE(recorder_.titles.empty());
    EXPECT_EQ(recorder_.undelivered, (Titles{"Prize 1", "Prize 2"})) << "once per window, not on every pass";

    desktop_.refusing.erase(other);
    desktop_.Retitle(elevated, "News");  // no longer a pop-up: forgotten
    Pass();
    EXPECT_EQ(recorder_.titles, Titles{"Prize 2"});
    desktop_.Retitle(elevated, "Prize again");
    for (int pass = 0; pass < 2; ++pass) Pass();
    EXPECT_EQ(recorder_.undelivered, (Titles{"Prize 1", "Prize 2", "Prize again"})) << "met again, reported again";
}

// Events about windows that have just appeared: creation, showing and renames of one pop-up make one
// request and one entry; a window the check pass leaves alone is left alone here too; a stubborn window
// is still met by every pass; a new window under a gone one's handle is a new window.
TEST_F(CheckPass, AWindowCheckedAtOnceIsAskedOnceForAllItsEvents) {
    Rule("Prize", "Contains");
    const auto popup = desktop_.Open("MozillaWindowClass", "New Tab");
    killer_.CheckWindowNow(popup);  // created with a title that matches nothing yet
    EXPECT_TRUE(desktop_.closed.empty());
    desktop_.Retitle(popup, "Win a Prize");
    killer_.CheckWindowNow(popup);  // renamed as the page loads
    killer_.CheckWindowNow(popup);  // shown
    desktop_.Retitle(popup, "Win a Prize - Mozilla Firefox");
    killer_.CheckWindowNow(popup);
    EXPECT_EQ(desktop_.closed, std::vector<WindowHandle>{popup});
    EXPECT_EQ(recorder_.titles, Titles{"Win a Prize"});

    const auto dialog = desktop_.Open("#32770", "Win a Prize");
    killer_.CheckWindowNow(dialog);
    killer_.CheckWindowNow(desktop_.Open("Chrome_WidgetWin_1", "Win a Prize - Slack", desktop_.Run("C:\\slack.exe")));
    const auto refusing = desktop_.Open("IEFrame", "Prize draw");
    desktop_.refusing = {refusing};
    killer_.CheckWindowNow(refusing);
    EXPECT_EQ(desktop_.closed, std::vector<WindowHandle>{popup}) << "no browser frame; a request not delivered";
    EXPECT_EQ(recorder_.undelivered, Titles{"Prize draw"});

    killer_.CheckWindowNow(refusing);
    Pass();  // the pop-up ignored its request: the pass asks again, as it always does
    EXPECT_EQ(recorder_.titles, (Titles{"Win a Prize", "Win a Prize - Mozilla Firefox"}));
    EXPECT_EQ(recorder_.undelivered, Titles{"Prize draw"}) << "reported once";

    desktop_.Destroy(popup);
    const auto other = desktop_.Open("IEFrame", "Prize");
    killer_.CheckWindowNow(other);  // a kill forgets the gone ones
    desktop_.Reopen(popup, "IEFrame", "Another Prize");
    killer_.CheckWindowNow(popup);
    EXPECT_EQ(recorder_.titles, (Titles{"Win a Prize", "Win a Prize - Mozilla Firefox", "Prize", "Another Prize"}));
    const auto chrome = desktop_.Open("Chrome_WidgetWin_1", "Prize - Google Chrome", desktop_.Run("C:\\chrome.exe"));
    killer_.CheckWindowNow(chrome);
    EXPECT_EQ(desktop_.closed.back(), chrome);
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
