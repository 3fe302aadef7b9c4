#include <gtest/gtest.h>

#include "engine/TitleMatch.h"

namespace zapnix {
namespace {

const AsciiTextCase kCase;

bool Matches(std::string pattern, std::string match, std::string caseSensitive, std::string_view title,
             std::string active = "Yes") {
    return RuleMatches(WindowKiller{std::move(pattern), std::move(active), std::move(match), std::move(caseSensitive)},
                       title, kCase);
}

TEST(TitleMatch, ExactComparesWholeTitlesWithOrWithoutLetterCase) {
    EXPECT_TRUE(Matches("win a prize", "Exact", "No", "Win a Prize"));
    EXPECT_FALSE(Matches("win a prize", "Exact", "Yes", "Win a Prize"));
    EXPECT_TRUE(Matches("Win a Prize", "Exact", "Yes", "Win a Prize"));
    EXPECT_FALSE(Matches("Win a Prize", "Exact", "No", "Win a Prize ")) << "no trimming";
    EXPECT_FALSE(Matches("Win", "Exact", "No", "Win a Prize"));
}

TEST(TitleMatch, BeginsAndEndsHoldThePatternAgainstThatManyCharacters) {
    EXPECT_TRUE(Matches("Win", "Begins", "Yes", "Winner"));
    EXPECT_TRUE(Matches("Win", "Begins", "Yes", "Win a Prize"));
    EXPECT_FALSE(Matches("Win", "Begins", "Yes", "Free Win"));
    EXPECT_FALSE(Matches("win", "Begins", "Yes", "Winner"));
    EXPECT_TRUE(Matches("win", "Begins", "No", "Winner"));

    EXPECT_TRUE(Matches("Prize", "Ends", "Yes", "Win a Prize"));
    EXPECT_FALSE(Matches("Prize", "Ends", "Yes", "Win a prize"));
    EXPECT_FALSE(Matches("Prize", "Ends", "Yes", "Prize Draw"));
    EXPECT_TRUE(Matches("PRIZE", "Ends", "No", "Win a prize"));

    // A pattern longer than the title is compared with the whole title, and so never matches.
    EXPECT_FALSE(Matches("Winner takes all", "Begins", "No", "Winner"));
    EXPECT_FALSE(Matches("the Winner", "Ends", "No", "Winner"));
    EXPECT_TRUE(Matches("Winner", "Begins", "Yes", "Winner")) << "a pattern as long as the title";
}

TEST(TitleMatch, ContainsSearchesFromTheFirstCharacter) {
    EXPECT_TRUE(Matches("prize", "Contains", "No", "Win a PRIZE now"));
    EXPECT_FALSE(Matches("prize", "Contains", "Yes", "Win a PRIZE now"));
    EXPECT_TRUE(Matches("Win", "Contains", "Yes", "Win"));
    EXPECT_FALSE(Matches("Prizes", "Contains", "No", "Prize"));
}

TEST(TitleMatch, EmptyPatternsAndTitlesFollowEachModesDefinition) {
    for (const char* cs : {"Yes", "No"}) {
        SCOPED_TRACE(cs);
        EXPECT_TRUE(Matches("", "Contains", cs, "anything"));
        EXPECT_FALSE(Matches("", "Contains", cs, "")) << "an empty title contains nothing";
        EXPECT_FALSE(Matches("x", "Contains", cs, ""));
        EXPECT_TRUE(Matches("", "Begins", cs, "anything"));
        EXPECT_TRUE(Matches("", "Begins", cs, ""));
        EXPECT_TRUE(Matches("", "Ends", cs, "anything"));
        EXPECT_TRUE(Matches("", "Ends", cs, ""));
        EXPECT_TRUE(Matches("", "Exact", cs, ""));
        EXPECT_FALSE(Matches("", "Exact", cs, "anything"));
        EXPECT_FALSE(Matches("x", "Begins", cs, ""));
    }
}

TEST(TitleMatch, OnlyTheExactLiteralsCount) {
    EXPECT_FALSE(Matches("Pop", "Exact", "No", "Pop", "yes"));
    EXPECT_FALSE(Matches("Pop", "Exact", "No", "Pop", "No"));
    EXPECT_FALSE(Matches("Pop", "Exact", "No", "Pop", ""));
    EXPECT_FALSE(Matches("Pop", "Exact", "No", "Pop", "Yes "));
    EXPECT_FALSE(Matches("Pop", "exact", "No", "Pop"));
    EXPECT_FALSE(Matches("Pop", "", "No", "Pop"));
    EXPECT_FALSE(Matches("Pop", "Starts", "No", "Pop"));
    // Anything but "Yes" in the case cell ignores letter case.
    EXPECT_TRUE(Matches("pop", "Exact", "yes", "POP"));
    EXPECT_TRUE(Matches("pop", "Exact", "", "POP"));
    EXPECT_TRUE(Matches("pop", "Exact", "True", "POP"));
}

TEST(TitleMatch, AnyActiveRuleMatchesAndOrderDoesNotMatter) {
    RuleList rules;
    EXPECT_FALSE(TitleMatches(rules, "Win a Prize", kCase)) << "no rules, no match";
    rules.Append({"Win a Prize", "No", "Exact", "No"});
    rules.Append({"Lottery", "Yes", "Contains", "No"});
    EXPECT_FALSE(TitleMatches(rules, "Win a Prize", kCase)) << "the matching rule is inactive";
    rules.Append({"prize", "Yes", "Ends", "No"});
    rules.Append({"Win", "Yes", "Begins", "Yes"});
    EXPECT_TRUE(TitleMatches(rules, "Win a Prize", kCase));
    EXPECT_TRUE(TitleMatches(rules, "Lottery results", kCase));
    EXPECT_FALSE(TitleMatches(rules, "Weather", kCase));
}

TEST(TitleMatch, BrowserFramesAreKnownByClassWhateverTheLetterCase) {
    for (const char* name :
         {"IEFrame", "IEFRAME", "ieframe", "MozillaWindowClass", "MOZILLAWINDOWCLASS", "mozillawindowclass"})
        EXPECT_TRUE(IsBrowserFrameClass(name, kCase)) << name;
    for (const char* name :
         {"", "#32770", "IEFrame ", "MozillaDialogClass", "Chrome_WidgetWin_1", "IEFrameX", "Notepad"})
        EXPECT_FALSE(IsBrowserFrameClass(name, kCase)) << name;
}

}  // namespace
}  // namespace zapnix
