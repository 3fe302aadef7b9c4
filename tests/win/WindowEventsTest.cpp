// The window events in this process, handed the events that Windows sends when another program's window
// appears, is shown or is renamed (Wine reports only the creation to other processes).

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../e2e/Driver.h"
#include "WinTestSupport.h"
#include "engine/PopupKiller.h"
#include "platform/Handles.h"
#include "platform/Win32WindowOwners.h"
#include "platform/WindowEventHook.h"

namespace zapnix {
namespace {

// Another program with windows of the given "class|state|title" (tests/e2e/PopupHost.cpp).
e2e::PopupHost OtherProgram(const std::vector<std::string>& windows) {
    return e2e::PopupHost(windows, e2e::PathFromEnvironment("ZAPNIX_POPUP_HOST"));
}

// Only an event about a whole top-level window of another program is handed on, and only one of the
// three: a window created, shown or renamed.
TEST(WindowEvents, OnlyAnotherProgramsTopLevelWindowItselfIsHandedOn) {
    const e2e::PopupHost other = OtherProgram({"IEFrame|parent|Win a Prize"});
    const HWND popup = other.Window("IEFrame", "Win a Prize");
    const HWND child = FindWindowExA(popup, nullptr, "IEFrame", nullptr);
    ASSERT_TRUE(popup && child);
    const UniqueWindow own(
        CreateWindowExA(0, "STATIC", "Win a Prize", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));

    WindowEventHook events;
    std::vector<WindowHandle> handed;
    ASSERT_TRUE(events.Listen([&](WindowHandle window) { handed.push_back(window); }));
    EXPECT_TRUE(events.Listening());
    const auto count = [&](DWORD event, HWND window, LONG objectId = OBJID_WINDOW, LONG childId = CHILDID_SELF) {
        handed.clear();
        events.OnEvent(event, window, objectId, childId);
        return handed.size();
    };
    for (const DWORD event : {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE})
        EXPECT_EQ(count(event, popup), 1u) << event;
    EXPECT_EQ(handed, std::vector<WindowHandle>{reinterpret_cast<WindowHandle>(popup)});
    for (const DWORD event : {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_FOCUS, EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE})
        EXPECT_EQ(count(event, popup), 0u) << event;
    EXPECT_EQ(count(EVENT_OBJECT_NAMECHANGE, popup, OBJID_TITLEBAR), 0u) << "a part of the window";
    EXPECT_EQ(count(EVENT_OBJECT_NAMECHANGE, popup, OBJID_WINDOW, 1), 0u) << "an element inside it";
    EXPECT_EQ(count(EVENT_OBJECT_CREATE, child), 0u) << "a child window";
    EXPECT_EQ(count(EVENT_OBJECT_CREATE, own.Get()), 0u) << "a window of Zapnix's own";
    EXPECT_EQ(count(EVENT_OBJECT_CREATE, nullptr), 0u);

    events.Stop();
    EXPECT_FALSE(events.Listening());
    EXPECT_EQ(count(EVENT_OBJECT_CREATE, popup), 0u) << "stopped";
}

struct Kills final : KillRecorder {
    void RecordKill(const std::string& title) override { titles.push_back(title); }
    void ReportUndeliveredClose(const std::string&) override {}
    std::vector<std::string> titles;
};

// A pop-up's creation, its showing and its rename to the same title make one close request and one kill.
TEST(WindowEvents, APopupsCreationShowingAndRenameCloseItOnce) {
    const e2e::PopupHost other = OtherProgram({"IEFrame|shown|Win a Prize"});
    const HWND popup = other.Window("IEFrame", "Win a Prize");
    ASSERT_NE(popup, nullptr);
    testing::TestWindowContext adapters;
    RuleList rules;
    rules.Append({"Prize", "Yes", "Contains", "No"});
    Kills kills;
    Win32WindowOwners owners;
    BrowserFrames frames(adapters.windows, owners, adapters.textCase);
    PopupKiller killer(adapters.windows, frames, rules, adapters.textCase, kills);
    WindowEventHook events;
    ASSERT_TRUE(events.Listen([&](WindowHandle window) { killer.CheckWindowNow(window); }));
    for (const DWORD event : {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE})
        events.OnEvent(event, popup, OBJID_WINDOW, CHILDID_SELF);
    testing::Pump(10000, [&] { return !IsWindow(popup); });
    EXPECT_FALSE(IsWindow(popup)) << "asked to close";
    EXPECT_EQ(kills.titles, std::vector<std::string>{"Win a Prize"});
}

}  // namespace
}  // namespace zapnix
