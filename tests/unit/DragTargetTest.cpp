#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/DragTarget.h"

namespace zapnix {
namespace {

TEST(DragTarget, BrowserFramesGiveTheirTitleExactlyAsRead) {
    testing::FakeDesktop desktop;
    AsciiTextCase textCase;
    const std::string longTitle = "  " + std::string(300, 'x');
    for (const char* cls : {"IEFrame", "ieframe", "MozillaWindowClass", "MOZILLAwindowCLASS"}) {
        const auto window = desktop.Open(cls, longTitle);
        const DropResult result = InspectDroppedWindow(desktop, textCase, window);
        EXPECT_TRUE(result.accepted) << cls;
        EXPECT_EQ(result.title, longTitle.substr(0, 259)) << "untrimmed, cut to 259 characters";
    }
    const DropResult untitled = InspectDroppedWindow(desktop, textCase, desktop.Open("IEFrame", ""));
    EXPECT_TRUE(untitled.accepted);
    EXPECT_EQ(untitled.title, "");
}

TEST(DragTarget, OtherWindowsAreRefusedNamingTheirClassAsRead) {
    testing::FakeDesktop desktop;
    AsciiTextCase textCase;
    const DropResult child = InspectDroppedWindow(desktop, textCase, desktop.Open("Internet Explorer_Server", "page"));
    EXPECT_FALSE(child.accepted);
    EXPECT_EQ(child.title, "");
    EXPECT_EQ(RefusedDropMessage(child), "This is not a valid browser window (Internet Explorer_Server)");

    const DropResult nothing = InspectDroppedWindow(desktop, textCase, 0);
    EXPECT_FALSE(nothing.accepted);
    EXPECT_EQ(RefusedDropMessage(nothing), "This is not a valid browser window ()");
}

}  // namespace
}  // namespace zapnix
