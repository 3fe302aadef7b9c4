#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/DragTarget.h"

namespace zapnix {
namespace {

// The very window under the pointer must be a browser frame (which classes those are, in any case, the
// matcher decides); its title is then taken exactly as read, untrimmed, and a refusal names the class as read.
TEST(DragTarget, AcceptsBrowserFramesOnlyAndTakesTheirTitleAsRead) {
    testing::FakeDesktop desktop;
    AsciiTextCase textCase;
    const struct {
        const char* className;  // nullptr: no window under the pointer
        std::string title, taken, refusal;
    } cases[] = {
        {"IEFrame", " Win a prize! ", " Win a prize! ", ""},
        {"IEFrame", "", "", ""},
        {"Internet Explorer_Server", "page", "", "This is not a valid browser window (Internet Explorer_Server)"},
        {nullptr, "", "", "This is not a valid browser window ()"},
    };
    for (const auto& c : cases) {
        const DropResult result =
            InspectDroppedWindow(desktop, textCase, c.className ? desktop.Open(c.className, c.title) : 0);
        EXPECT_EQ(result.accepted, c.refusal.empty()) << c.className;
        EXPECT_EQ(result.title, c.taken) << c.className;
        EXPECT_EQ(result.accepted ? "" : RefusedDropMessage(result), c.refusal) << c.className;
    }
}

}  // namespace
}  // namespace zapnix
