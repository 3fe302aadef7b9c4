// The window events in this process, handed the events that Windows sends when another program's window
// appears, is shown or is renamed (Wine reports only the creation to other processes).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "engine/PopupKiller.h"
#include "platform/Handles.h"
#include "platform/Win32WindowOwners.h"
#include "platform/WindowEventHook.h"

namespace zapnix {
namespace {

// Another program with windows of the given "class|state|title" (tests/e2e/PopupHost.cpp).
class OtherProgram {
public:
    explicit OtherProgram(const std::vector<std::string>& windows) {
        const char* host = std::getenv("ZAPNIX_POPUP_HOST");
        std::string command = std::string("\"") + (host ? host : "PopupHost.exe") + "\"";
        for (const std::string& window : windows) command += " \"" + window + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
            id_ = info.dwProcessId;
        }
    }
    ~OtherProgram() {
        if (process_) TerminateProcess(process_.Get(), 0);
    }
    // Its top-level window of this title, once there.
    HWND Window(const char* title) const {
        HWND found = nullptr;
        testing::Pump(10000, [&] { return (found = Find(title)) != nullptr; });
        return found;
    }
    HWND Find(const char* title) const {
        struct Search {
            DWORD id;
            const char* title;
            HWND found;
        } search{id_, title, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->id && testing::TextOf(window) == s->title) s->found = window;
                return s->found == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// Only an event about a whole top-level window of another program is handed on, and only one of the
// three: a window created, shown or renamed.
TEST(WindowEvents, OnlyAnotherProgramsTopLevelWindowItselfIsHandedOn) {
    OtherProgram other({"IEFrame|parent|Win a Prize"});
    const HWND popup = other.Window("Win a Prize");
    ASSERT_NE(popup, nullptr);
    HWND child = nullptr;
    testing::Pump(10000, [&] { return (child = FindWindowExA(popup, nullptr, "IEFrame", nullptr)) != nullptr; });
    ASSERT_NE(child, nullptr);
    const UniqueWindow own(CreateWindowExA(0, "STATIC", "Win a Prize", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           nullptr, nullptr));

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
    OtherProgram other({"IEFrame|shown|Win a Prize"});
    const HWND popup = other.Window("Win a Prize");
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
