#include <gtest/gtest.h>

#include "TempFolder.h"
#include "profile/ProfileFile.h"
#include "rules/RuleCommands.h"
#include "rules/RuleFile.h"

namespace zapnix {
namespace {

RuleList Load(std::string_view bytes) {
    RuleList rules;
    LoadWinList(IniDocument::Parse(std::string(bytes)), rules);
    return rules;
}

std::string Save(const RuleList& rules, std::string_view existing = "") {
    IniDocument profile = IniDocument::Parse(std::string(existing));
    SaveWinList(rules, profile);
    return profile.Serialize();
}

// Cells are neither checked when saved nor when loaded.
TEST(RuleFile, SavesTheDocumentedLayoutInRowOrderAndLoadsItBack) {
    RuleList rules;
    rules.Append({"first title", "Yes", "Begins", "No"});
    rules.Append({"second title", "maybe", "sometimes", ""});
    const std::string saved = Save(rules);
    EXPECT_EQ(saved,
              "[Windows]\r\nTotal=2\r\n"
              "Title   1=first title\r\nActive  1=Yes\r\nMatch   1=Begins\r\nCase    1=No\r\n"
              "Title   2=second title\r\nActive  2=maybe\r\nMatch   2=sometimes\r\nCase    2=\r\n");
    EXPECT_EQ(Load(saved).Rows(), rules.Rows());
    EXPECT_EQ(Save(RuleList{}), "[Windows]\r\nTotal=0\r\n");
}

using RuleFileOnDisk = TempFolderTest;

// Only the rule keys change (those of rows above Total stay), the file is replaced whole. But quorb.ini locked at
// start-up loads no rules: "Save and Exit" must not then write Total=0 over the user's rules, even when the lock has
// gone by then.
TEST_F(RuleFileOnDisk, SavesOverNoRulesThatCouldNotBeRead) {
    const std::string path = PathOf("quorb.ini");
    const std::string stored =
        "[Settings]\r\nInterval=5\r\n[Windows]\r\nTotal=2\r\nTitle   1=keep me\r\nTitle   2=b\r\n";
    Store(path, stored);
    RuleList rules;
    rules.Append({"pop", "Yes", "Exact", "No"});
    EXPECT_FALSE(SaveWinListToFile(path, rules, FileState::Unreadable));
    EXPECT_EQ(Load(path), stored);

    ASSERT_TRUE(SaveWinListToFile(path, rules, FileState::Missing)) << "a missing file had no rules to lose";
    EXPECT_EQ(
        Load(path),
        "[Settings]\r\nInterval=5\r\n"
        "[Windows]\r\nTotal=1\r\nTitle   1=pop\r\nTitle   2=b\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"}) << "no temporary file may be left behind";
    EXPECT_FALSE(SaveWinListToFile(PathOf("missing/quorb.ini"), rules)) << "a failed write is reported";
}

// A title is added as typed, blanks and all, and the editor opens on the topmost rule of exactly that title.
TEST(RuleCommands, AddTakesTheTitleAsTypedAndFindGivesTheTopmostRuleOfExactlyThatTitle) {
    RuleList rules;
    EXPECT_FALSE(AddRule(rules, ""));
    for (const char* title : {"  Prize ", "   ", "  Prize ", "Win"}) EXPECT_TRUE(AddRule(rules, title));
    EXPECT_EQ(rules.Row(0), (WindowKiller{"  Prize ", "Yes", "Exact", "No"}));
    EXPECT_EQ(rules.Count(), 4u) << "an equal rule is added all the same";
    EXPECT_EQ(FindRule(rules, "  Prize "), 0u);
    EXPECT_EQ(FindRule(rules, "Win"), 3u);
    for (const char* other : {"WIN", "Prize", "Wi"}) EXPECT_FALSE(FindRule(rules, other)) << other;
}

// Apply writes the four cells into the opened rule only, and refuses once that rule moved, went away or
// was changed by another editor.
TEST(RuleCommands, ApplyWritesTheOpenedRuleOnlyWhileItIsUnchangedInItsPlace) {
    RuleList rules;
    for (int i = 1; i <= 5; ++i) rules.Append({"rule " + std::to_string(i), "Yes", "Exact", "No"});
    rules.Row(2).ticked = true;
    const RuleEdit edit{2, rules.Row(2)};
    EXPECT_EQ(ApplyEdit(rules, edit, {"", "No", "Ends", "Yes"}), ApplyOutcome::EmptyTitle);
    EXPECT_EQ(rules.Row(2).title, "rule 3");

    EXPECT_EQ(ApplyEdit(rules, edit, {"renamed", "maybe", "Starts", "Yes"}), ApplyOutcome::Applied);
    EXPECT_EQ(rules.Row(2), (WindowKiller{"renamed", "maybe", "Starts", "Yes", true}))
        << "stored as typed, still ticked";
    EXPECT_EQ(rules.Row(1).title, "rule 2");

    const RuleEdit moved{1, rules.Row(1)};
    rules.Row(0).ticked = true;
    rules.DeleteTicked(true);  // rows 0 and 2 go: "rule 4" moves up into row 1, where "rule 2" was
    EXPECT_EQ(ApplyEdit(rules, moved, {"renamed", "Yes", "Exact", "No"}), ApplyOutcome::RuleGone);
    EXPECT_EQ(rules.Row(1).title, "rule 4");

    const RuleEdit last{2, rules.Row(2)};
    rules.Row(2).ticked = true;
    rules.DeleteTicked(true);
    EXPECT_EQ(ApplyEdit(rules, last, {"renamed", "Yes", "Exact", "No"}), ApplyOutcome::RuleGone);

    const RuleEdit changed{0, rules.Row(0)};
    rules.SetCells(0, {"rule 2", "No", "Exact", "No"});  // edited meanwhile through another editor
    EXPECT_EQ(ApplyEdit(rules, changed, {"renamed", "Yes", "Exact", "No"}), ApplyOutcome::RuleGone);
}

}  // namespace
}  // namespace zapnix
