#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/BrowserWindows.h"

namespace zapnix {
namespace {

using Titles = std::vector<std::string>;

TEST(BrowserWindows, ListsEachFamilyByClassInAnyLetterCaseInEnumerationOrder) {
    testing::FakeDesktop desktop;
    desktop.Open("IEFrame", "B");
    desktop.Open("MozillaWindowClass", "Zeta - Mozilla Firefox");
    desktop.Open("ieframe", "A");
    desktop.Open("mozillaWINDOWclass", "Alpha - Mozilla Firefox");
    desktop.Open("IEFRAME", "B");
    desktop.Open("IEFrame", "");
    desktop.Open("MozillaWindowClass", "");
    for (const char* other : {"Notepad", "MozillaDialogClass", "IEFrame2", " IEFrame", "MozillaWindowClassX", "#32770"})
        desktop.Open(other, "Win a Prize");
    desktop.MakeUnreadable(desktop.Open("IEFrame", "gone"));
    const BrowserWindowTitles found = FindBrowserWindows(desktop, AsciiTextCase());
    EXPECT_EQ(found.internetExplorer, (Titles{"B", "A", "B", ""})) << "duplicates stay; sorting is the list's job";
    EXPECT_EQ(found.mozilla, (Titles{"Zeta - Mozilla Firefox", "Alpha - Mozilla Firefox"}))
        << "untitled Mozilla helper windows are no pick";
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
    desktop.Open("IEFrame", "capital I");
    desktop.Open("ieframe", "small i");
    desktop.Open("MozillaWindowClass", "Firefox");
    desktop.Open("MozIllaWIndowClass", "capital I only");
    desktop.Open("Mozillawindowclass", "small i");
    const BrowserWindowTitles found = FindBrowserWindows(desktop, DottedCapitalITextCase());
    EXPECT_EQ(found.internetExplorer, (Titles{"capital I"}));
    EXPECT_EQ(found.mozilla, (Titles{"capital I only"}));
}

}  // namespace
}  // namespace zapnix
