#pragma once
// Whether a window title matches the window killers. Every cell is compared with its literal exactly:
// a rule takes part only when "Active" is "Yes", letter case counts only when "Case Sensitive" is
// "Yes", and a "Match" other than "Exact", "Begins", "Contains" or "Ends" never matches.

#include <string_view>

#include "platform/TextCase.h"
#include "rules/RuleList.h"

namespace zapnix {

bool RuleMatches(const WindowKiller& rule, std::string_view title, const TextCase& textCase);

// True when at least one active rule matches. Every row is examined: none stops or overrides another.
bool TitleMatches(const RuleList& rules, std::string_view title, const TextCase& textCase);

// Internet Explorer's and the Mozilla family's frame windows, whatever the letter case of the class.
bool IsBrowserFrameClass(std::string_view className, const TextCase& textCase);

}  // namespace zapnix
