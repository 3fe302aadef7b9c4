#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "picking/BrowserWindows.h"

namespace zapnix {
namespace {

using Titles = std::vector<std::string>;

class BrowserWindows : public ::testing::Test {
protected:
    BrowserWindowTitles Find() { return FindBrowserWindows(desktop_, textCase_); }

    testing::FakeDesktop desktop_;
    AsciiTextCase textCase_;
};

TEST_F(BrowserWindows, ListsEachFamilyInEnumerationOrder) {
    desktop_.Open("IEFrame", "B");
    desktop_.Open("MozillaWindowClass", "Zeta - Mozilla Firefox");
    desktop_.Open("IEFrame", "A");
    desktop_.Open("MozillaWindowClass", "Alpha - Mozilla Firefox");
    desktop_.Open("IEFrame", "B");
    desktop_.Open("IEFrame", "");
    desktop_.Open("MozillaWindowClass", "");
    const BrowserWindowTitles found = Find();
    EXPECT_EQ(found.internetExplorer, (Titles{"B", "A", "B", ""})) << "duplicates stay; sorting is the list's job";
    EXPECT_EQ(found.mozilla, (Titles{"Zeta - Mozilla Firefox", "Alpha - Mozilla Firefox"}))
        << "untitled Mozilla helper windows are no pick";
}

TEST_F(BrowserWindows, ClassNamesMatchInAnyLetterCaseAndNothingElseIsListed) {
    desktop_.Open("ieframe", "lower");
    desktop_.Open("IEFRAME", "upper");
    desktop_.Open("mozillaWINDOWclass", "mixed");
    desktop_.Open("Notepad", "Win a Prize");
    desktop_.Open("MozillaDialogClass", "Downloads");
    desktop_.Open("IEFrame2", "near miss");
    desktop_.Open(" IEFrame", "leading blank");
    desktop_.Open("MozillaWindowClassX", "near miss");
    desktop_.Open("#32770", "IEFrame");
    const auto unreadable = desktop_.Open("IEFrame", "gone");
    desktop_.MakeUnreadable(unreadable);
    const BrowserWindowTitles found = Find();
    EXPECT_EQ(found.internetExplorer, (Titles{"lower", "upper"}));
    EXPECT_EQ(found.mozilla, (Titles{"mixed"}));
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

TEST(BrowserWindowsLocale, TheUsersLetterCaseRulesDecideWhatAClassNameIs) {
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
