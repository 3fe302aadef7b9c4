#include "engine/TitleMatch.h"

namespace zapnix {

RuleMatcher::RuleMatcher(const RuleList& rules, const TextCase& textCase)
    : rules_(rules), textCase_(textCase), stamp_(rules.Stamp()), index_(rules.Rows(), textCase) {}

void RuleMatcher::Refresh() {
    if (rules_.Stamp() == stamp_) return;
    index_ = RuleIndex(rules_.Rows(), textCase_);
    stamp_ = rules_.Stamp();
}

}  // namespace zapnix
