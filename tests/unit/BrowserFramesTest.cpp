#include <gtest/gtest.h>

#include <utility>

#include "FakeDesktop.h"
#include "engine/BrowserFrames.h"
#include "profile/IniDocument.h"
#include "settings/BrowserList.h"

namespace zapnix {
namespace {

using Frames = std::vector<std::pair<WindowHandle, BrowserFamily>>;
using Names = std::vector<std::string>;
constexpr auto kIe = BrowserFamily::InternetExplorer;
constexpr auto kMozilla = BrowserFamily::Mozilla;
constexpr auto kChromium = BrowserFamily::Chromium;

class WhichAreBrowsers : public ::testing::Test {
protected:
    // The list as start-up reads it from this profile file.
    void ReadList(const char* profile) { frames_.SetChromiumBrowsers(ReadBrowserList(IniDocument::Parse(profile))); }

    Frames Pass() {
        Frames found;
        frames_.ForEachFrame([&](WindowHandle window, BrowserFamily family) { found.emplace_back(window, family); });
        return found;
    }
    BrowserFamily FamilyOf(WindowHandle window) { return frames_.FamilyOf(window, desktop_.ClassName(window)); }
    WindowHandle Chromium(ProcessId owner, std::string title = "Page") {
        return desktop_.Open("Chrome_WidgetWin_1", std::move(title), owner);
    }

    testing::FakeDesktop desktop_;
    AsciiTextCase textCase_;
    BrowserFrames frames_{desktop_, desktop_, textCase_};
};

TEST_F(WhichAreBrowsers, ChromesClassCountsInTheKnownBrowsersProcessesOnlyTheOthersInAnyProcess) {
    ReadList("[Settings]\r\nInterval=5\r\n");  // no "Browsers": the built-in list
    const ProcessId chrome = desktop_.Run("C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");
    const ProcessId slack = desktop_.Run("C:\\Users\\Ann\\AppData\\Local\\slack\\slack.exe");
    const ProcessId inChromesFolder = desktop_.Run("C:\\Tools\\chrome.exe\\code.exe");
    Frames expected;
    for (const char* name : {"Chrome_WidgetWin_1", "chrome_widgetwin_1", "CHROME_WIDGETWIN_1"})
        expected.emplace_back(desktop_.Open(name, "Page", chrome), kChromium);
    for (const char* path : {"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\MSEDGE.EXE",
                             "C:\\Brave\\Brave.Exe", "vivaldi.exe", "C:/Opera/opera.exe"})
        expected.emplace_back(Chromium(desktop_.Run(path)), kChromium);
    expected.emplace_back(desktop_.Open("IEFrame", "Page", slack), kIe);  // the other classes count in any process
    expected.emplace_back(desktop_.Open("mozillaWINDOWclass", "Page", inChromesFolder), kMozilla);
    expected.emplace_back(desktop_.Open("IEFRAME", "Page"), kIe);
    // 0: a window whose process is not known.
    for (const ProcessId other : {slack, inChromesFolder, desktop_.Run("C:\\Tools\\chrome.exe.bak"), ProcessId{0}})
        Chromium(other);
    for (const char* other : {"Chrome_WidgetWin_0", "Chrome_WidgetWin_2", "Chrome_WidgetWin_1 ", "#32770"})
        desktop_.Open(other, "Page", chrome);
    desktop_.MakeUnreadable(Chromium(chrome));

    EXPECT_EQ(Pass(), expected);
    EXPECT_TRUE(desktop_.unreadableReports.empty());
}

TEST_F(WhichAreBrowsers, TheUsersListReplacesTheBuiltInOneAnEmptyListKnowsNoChromiumBrowserAndALongOneIsCut) {
    const ProcessId chrome = desktop_.Run("C:\\Chrome\\chrome.exe");
    const ProcessId slack = desktop_.Run("C:\\Slack\\slack.exe");
    const ProcessId thorium = desktop_.Run("C:\\Thorium\\my thorium.exe");  // a blank inside a name is part of it
    const WindowHandle ie = desktop_.Open("IEFrame", "Explorer");
    const WindowHandle chromes = Chromium(chrome), slacks = Chromium(slack), thoriums = Chromium(thorium);

    ReadList("[Settings]\r\nBrowsers =  SLACK.exe ,, My Thorium.EXE,\t,\r\n");
    EXPECT_EQ(Pass(), (Frames{{ie, kIe}, {slacks, kChromium}, {thoriums, kChromium}}));
    // An answer given for one list is not kept for the next; the key in another section is no list.
    ReadList("[Settings]\r\n[Other]\r\nBrowsers=slack.exe\r\n");
    EXPECT_EQ(Pass(), (Frames{{ie, kIe}, {chromes, kChromium}}));

    for (const char* empty : {"[Settings]\r\nBrowsers=\r\n", "[settings]\r\nBROWSERS = \" , \"\r\n"}) {
        ReadList(empty);
        desktop_.ownerQueries = 0;
        EXPECT_EQ(Pass(), (Frames{{ie, kIe}})) << empty;
        EXPECT_EQ(desktop_.ownerQueries, 0) << "with no browser to find, no window's process is asked";
        EXPECT_EQ(desktop_.Holds(), 0);
    }
    // 250 characters of one name, then a second name that the 259-character read cuts off after 7.
    const std::string longName(246, 'x');
    EXPECT_EQ(ReadBrowserList(IniDocument::Parse("[Settings]\r\nBrowsers=" + longName + ".exe, thorium.exe\r\n")),
              (Names{longName + ".exe", "thorium"}));
}

// Each process is asked once, kept while it owns windows of the shared class, and let go after; an id
// let go may then go to another program, which is asked afresh. So is a window's handle.
TEST_F(WhichAreBrowsers, EachProcessAndEachWindowsOwnerIsAskedOnceAndKeptUntilAPassNoLongerMeetsIt) {
    ReadList("");
    const ProcessId chrome = desktop_.Run("C:\\Chrome\\chrome.exe");
    const ProcessId slack = desktop_.Run("C:\\Slack\\slack.exe");
    const WindowHandle tab1 = Chromium(chrome, "1"), tab2 = Chromium(chrome, "2");
    Chromium(slack);
    Chromium(slack);
    for (int pass = 0; pass < 3; ++pass) EXPECT_EQ(Pass(), (Frames{{tab1, kChromium}, {tab2, kChromium}}));
    EXPECT_EQ(FamilyOf(tab2), kChromium);
    EXPECT_EQ(desktop_.imageQueries, 2) << "once per process";
    EXPECT_EQ(desktop_.ownerQueries, 4) << "once per window";
    EXPECT_EQ(desktop_.Holds(), 2);

    desktop_.Destroy(tab2);
    Pass();
    desktop_.Reopen(tab2, "Chrome_WidgetWin_1", "2", slack);
    EXPECT_EQ(Pass(), (Frames{{tab1, kChromium}})) << "a handle that a pass missed is asked afresh";

    desktop_.End(chrome);
    EXPECT_FALSE(desktop_.RunAs(chrome, "C:\\Slack\\slack.exe")) << "held: the id is not given out again";
    Pass();
    EXPECT_EQ(desktop_.Holds(), 1) << "an ended process is let go by the next pass";
    ASSERT_TRUE(desktop_.RunAs(chrome, "C:\\Slack\\slack.exe"));
    desktop_.Reopen(tab1, "Chrome_WidgetWin_1", "reused id", chrome);
    EXPECT_EQ(Pass(), Frames{}) << "a reused id is asked afresh";
    EXPECT_EQ(desktop_.imageQueries, 3);

    // A window asked about between passes is held until the end of the next pass that does not meet it.
    desktop_.End(slack);
    desktop_.End(chrome);
    const ProcessId edge = desktop_.Run("msedge.exe");
    const WindowHandle dropped = Chromium(edge);
    EXPECT_EQ(FamilyOf(dropped), kChromium);
    EXPECT_EQ(desktop_.Holds(), 3);
    desktop_.End(edge);
    Pass();
    EXPECT_EQ(desktop_.Holds(), 0);
}

// Protected processes and other users' cannot be asked: they count as no browser's, asked at most once a
// pass (it holds nothing that keeps its id) and reported once while they keep failing.
TEST_F(WhichAreBrowsers, AProcessThatCannotBeAskedIsNoBrowserReportedOnceAndAskedAgainInTheNextPass) {
    ReadList("");
    const ProcessId guarded = desktop_.Run("C:\\Chrome\\chrome.exe");
    desktop_.Protect(guarded);
    Chromium(guarded);
    Chromium(guarded);
    EXPECT_EQ(Pass(), Frames{});
    EXPECT_EQ(desktop_.imageQueries, 1) << "one answer stands for the whole pass";
    EXPECT_EQ(Pass(), Frames{});
    EXPECT_EQ(desktop_.imageQueries, 2) << "asked again in the next pass";
    EXPECT_EQ(desktop_.unreadableReports, std::vector<ProcessId>{guarded}) << "reported once";
    EXPECT_EQ(FamilyOf(Chromium(guarded)), BrowserFamily::None);
    EXPECT_EQ(FamilyOf(desktop_.Open("Chrome_WidgetWin_1", "", guarded)), BrowserFamily::None);
    EXPECT_EQ(desktop_.imageQueries, 4) << "between passes, each question is asked";
    EXPECT_EQ(desktop_.unreadableReports.size(), 1u);

    desktop_.Protect(guarded, false);
    EXPECT_EQ(Pass().size(), 4u) << "once it can be asked, its windows count";
}

}  // namespace
}  // namespace zapnix
