#pragma once
// Whether a window title matches the window killers. Every cell is compared with its literal exactly:
// a rule takes part only when "Active" is "Yes", letter case counts only when "Case Sensitive" is
// "Yes", and a "Match" other than "Exact", "Begins", "Contains" or "Ends" never matches.

#include <cstdint>
#include <string_view>

#include "engine/RuleIndex.h"
#include "platform/TextCase.h"
#include "rules/RuleList.h"

namespace zapnix {

// The rule list kept indexed from one check pass to the next. As far as anyone can tell the rules are
// read afresh for every pass; the index is rebuilt only when the list has changed since.
class RuleMatcher {
public:
    RuleMatcher(const RuleList& rules, const TextCase& textCase);
    void Refresh();
    // True when at least one active rule matches; rules neither stop nor override one another.
    bool TitleMatches(std::string_view title) const { return index_.Matches(title, textCase_); }

private:
    const RuleList& rules_;
    const TextCase& textCase_;
    std::uint64_t stamp_;
    RuleIndex index_;
};

}  // namespace zapnix
