#include <gtest/gtest.h>

#include "rules/RuleCommands.h"

namespace zapnix {
namespace {

TEST(RuleCommands, AddRuleTakesTheTitleAsTypedWithTheDefaultCells) {
    RuleList rules;
    EXPECT_FALSE(AddRule(rules, ""));
    EXPECT_EQ(rules.Count(), 0u);
    EXPECT_TRUE(AddRule(rules, "  padded  "));
    EXPECT_TRUE(AddRule(rules, "   "));
    EXPECT_TRUE(AddRule(rules, "  padded  ")) << "no test for an existing equal rule";
    ASSERT_EQ(rules.Count(), 3u);
    EXPECT_EQ(rules.Row(0), (WindowKiller{"  padded  ", "Yes", "Exact", "No"}));
    EXPECT_EQ(rules.Row(1).title, "   ");
    EXPECT_EQ(rules.Rows()[2], rules.Rows()[0]);
}

TEST(RuleCommands, FindRuleGivesTheTopmostRuleWithExactlyThatTitle) {
    RuleList rules;
    rules.Append({"Win", "Yes", "Exact", "No"});
    rules.Append({"Prize", "Yes", "Exact", "No"});
    rules.Append({"Prize", "No", "Ends", "Yes"});
    EXPECT_EQ(FindRule(rules, "Prize"), 1u);
    EXPECT_EQ(FindRule(rules, "Win"), 0u);
    EXPECT_FALSE(FindRule(rules, "WIN")) << "another rule, as far as the editor is concerned";
    EXPECT_FALSE(FindRule(rules, "Pri"));
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
