#pragma once
// The commands that change the rule list: adding a rule from a title, finding the rule a row click
// edits, and applying an edit without ever writing into a rule other than the one being edited.

#include <cstddef>
#include <optional>
#include <string_view>

#include "rules/RuleList.h"

namespace zapnix {

// Appends a rule "Yes", "Exact", "No" for the title as typed (blanks kept); false for an empty title.
bool AddRule(RuleList& rules, std::string_view title);

// The topmost rule whose title is exactly `title`, letter case included: a click on any of several
// equal rows edits the first of them.
std::optional<std::size_t> FindRule(const RuleList& rules, std::string_view title);

// An edit in progress: the row the editor was opened on and the rule as it stood then.
struct RuleEdit {
    std::size_t row = 0;
    WindowKiller original;
};

enum class ApplyOutcome {
    EmptyTitle,  // refused: "Please enter a valid window title."
    RuleGone,    // the row no longer holds the rule that was opened: nothing is written
    Applied,
};

// Writes the four cells of `edited` into the edited row; its tick box stays as it is.
ApplyOutcome ApplyEdit(RuleList& rules, const RuleEdit& edit, const WindowKiller& edited);

}  // namespace zapnix
