#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/DragTarget.h"

namespace zapnix {
namespace {

// The very window under the pointer must be a browser frame (which windows those are, the browser frames
// decide); its title is then taken exactly as read, untrimmed, and a refusal names the class as read.
TEST(DragTarget, AcceptsBrowserFramesOnlyAndTakesTheirTitleAsRead) {
    testing::FakeDesktop desktop;
    AsciiTextCase textCase;
    BrowserFrames frames(desktop, desktop, textCase);
    frames.SetChromiumBrowsers(std::vector<std::string>{"brave.exe"});
    const ProcessId brave = desktop.Run("C:\\Brave\\brave.exe");
    const ProcessId player = desktop.Run("C:\\Player\\player.exe");
    const struct {
        const char* className;  // nullptr: no window under the pointer
        ProcessId owner;
        std::string title, taken, refusal;
    } cases[] = {
        {"IEFrame", 0, " Win a prize! ", " Win a prize! ", ""},
        {"IEFrame", 0, "", "", ""},
        {"Internet Explorer_Server", 0, "page", "", "This is not a valid browser window (Internet Explorer_Server)"},
        {nullptr, 0, "", "", "This is not a valid browser window ()"},
        {"Chrome_WidgetWin_1", brave, "Prize - Brave", "Prize - Brave", ""},
        {"Chrome_WidgetWin_1", player, "Prize", "", "This is not a valid browser window (Chrome_WidgetWin_1)"},
    };
    for (const auto& c : cases) {
        const DropResult result =
            InspectDroppedWindow(desktop, frames, c.className ? desktop.Open(c.className, c.title, c.owner) : 0);
        EXPECT_EQ(result.accepted, c.refusal.empty()) << c.className;
        EXPECT_EQ(result.title, c.taken) << c.className;
        EXPECT_EQ(result.accepted ? "" : RefusedDropMessage(result), c.refusal) << c.className;
    }
}

}  // namespace
}  // namespace zapnix
