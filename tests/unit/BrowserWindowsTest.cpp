#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/BrowserWindows.h"
#include "picking/DragTarget.h"

namespace zapnix {
namespace {

using Titles = std::vector<std::string>;

const std::vector<std::string> kBrowsers = {"chrome.exe", "msedge.exe"};

TEST(BrowserWindows, ListsEachFamilyInAnyLetterCaseInEnumerationOrder) {
    testing::FakeDesktop desktop;
    const ProcessId chrome = desktop.Run("C:\\Chrome\\chrome.exe");
    const ProcessId slack = desktop.Run("C:\\Slack\\slack.exe");
    desktop.Open("IEFrame", "B");
    desktop.Open("MozillaWindowClass", "Zeta - Mozilla Firefox");
    desktop.Open("Chrome_WidgetWin_1", "Zeta - Google Chrome", chrome);
    desktop.Open("ieframe", "A");
    desktop.Open("mozillaWINDOWclass", "Alpha - Mozilla Firefox");
    desktop.Open("CHROME_WIDGETWIN_1", "Alpha - Google Chrome", chrome);
    desktop.Open("IEFRAME", "B");
    desktop.Open("IEFrame", "");
    desktop.Open("MozillaWindowClass", "");
    desktop.Open("Chrome_WidgetWin_1", "", chrome);
    desktop.Open("Chrome_WidgetWin_1", "Alpha - Slack", slack);
    desktop.Open("Chrome_WidgetWin_0", "Zeta - Google Chrome", chrome);
    for (const char* other : {"Notepad", "MozillaDialogClass", "IEFrame2", " IEFrame", "MozillaWindowClassX", "#32770"})
        desktop.Open(other, "Win a Prize");
    desktop.MakeUnreadable(desktop.Open("IEFrame", "gone"));
    AsciiTextCase textCase;
    BrowserFrames frames(desktop, desktop, textCase);
    frames.SetChromiumBrowsers(kBrowsers);
    const BrowserWindowTitles found = FindBrowserWindows(desktop, frames);
    EXPECT_EQ(found.internetExplorer, (Titles{"B", "A", "B", ""})) << "duplicates stay; sorting is the list's job";
    EXPECT_EQ(found.mozilla, (Titles{"Zeta - Mozilla Firefox", "Alpha - Mozilla Firefox"}))
        << "untitled Mozilla helper windows are no pick";
    EXPECT_EQ(found.chromium, (Titles{"Zeta - Google Chrome", "Alpha - Google Chrome"}))
        << "untitled windows and other programs' windows of the class are no pick";
}

// Upper-cases as a Turkish code page does: "i" becomes dotted capital I (0xDD in Windows-1254).
class DottedCapitalITextCase final : public TextCase {
public:
    std::string Lower(std::string_view text) const override { return ascii_.Lower(text); }
    std::string Upper(std::string_view text) const override {
        std::string out = ascii_.Upper(text);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == 'i') out[i] = '\xDD';
        return out;
    }

private:
    AsciiTextCase ascii_;
};

TEST(BrowserWindows, TheUsersLetterCaseRulesDecideWhatAClassNameIs) {
    testing::FakeDesktop desktop;
    const ProcessId edge = desktop.Run("C:\\Edge\\MSEDGE.EXE");
    desktop.Open("IEFrame", "capital I");
    desktop.Open("ieframe", "small i");
    desktop.Open("MozillaWindowClass", "Firefox");
    desktop.Open("MozIllaWIndowClass", "capital I only");
    desktop.Open("Mozillawindowclass", "small i");
    desktop.Open("Chrome_WIdgetWIn_1", "capital I only", edge);
    desktop.Open("Chrome_WidgetWin_1", "small i", edge);
    const DottedCapitalITextCase textCase;
    BrowserFrames frames(desktop, desktop, textCase);
    frames.SetChromiumBrowsers(kBrowsers);
    const BrowserWindowTitles found = FindBrowserWindows(desktop, frames);
    EXPECT_EQ(found.internetExplorer, (Titles{"capital I"}));
    EXPECT_EQ(found.mozilla, (Titles{"capital I only"}));
    EXPECT_EQ(found.chromium, (Titles{"capital I only"}));
}

// The very window under the pointer must be a browser frame (which windows those are, the browser frames
// decide; Chrome's class in and out of a browser: the picker's end-to-end test); its title is then taken
// exactly as read, untrimmed, and a refusal names the class as read.
TEST(DragTarget, AcceptsBrowserFramesOnlyAndTakesTheirTitleAsRead) {
    testing::FakeDesktop desktop;
    AsciiTextCase textCase;
    BrowserFrames frames(desktop, desktop, textCase);
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
            InspectDroppedWindow(desktop, frames, c.className ? desktop.Open(c.className, c.title) : 0);
        EXPECT_EQ(result.accepted, c.refusal.empty()) << c.className;
        EXPECT_EQ(result.title, c.taken) << c.className;
        EXPECT_EQ(result.accepted ? "" : RefusedDropMessage(result), c.refusal) << c.className;
    }
}

}  // namespace
}  // namespace zapnix
