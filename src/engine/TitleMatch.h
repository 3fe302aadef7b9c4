#pragma once
// Whether a window title matches the window killers. Every cell is compared with its literal exactly:
// a rule takes part only when "Active" is "Yes", letter case counts only when "Case Sensitive" is
// "Yes", and a "Match" other than "Exact", "Begins", "Contains" or "Ends" never matches.

#include <string>
#include <string_view>
#include <vector>

#include "platform/TextCase.h"
#include "rules/RuleList.h"

namespace zapnix {

// The active rules as they stand at the start of one check pass, ready to be held against many titles:
// each pattern is lowered once per pass instead of once per window.
class RuleMatcher {
public:
    RuleMatcher(const RuleList& rules, const TextCase& textCase);
    // True when at least one active rule matches; rules neither stop nor override one another.
    bool Matches(std::string_view title) const;

private:
    enum class Mode { Exact, Begins, Contains, Ends };
    struct Prepared {
        Mode mode;
        bool caseSensitive;
        std::string pattern;  // lowered unless letter case counts
    };

    const TextCase& textCase_;
    std::vector<Prepared> rules_;
};

bool RuleMatches(const WindowKiller& rule, std::string_view title, const TextCase& textCase);
bool TitleMatches(const RuleList& rules, std::string_view title, const TextCase& textCase);

// Internet Explorer's and the Mozilla family's frame windows, whatever the letter case of the class.
bool IsBrowserFrameClass(std::string_view className, const TextCase& textCase);

}  // namespace zapnix
