#include "engine/TitleMatch.h"

#include <optional>

#include "engine/BrowserFrameClass.h"

namespace zapnix {
namespace {

// The part of the title that a pattern of `length` characters is held against under Begins and Ends:
// that many characters, or the whole title when it is shorter (and then cannot match).
std::string_view Head(std::string_view title, std::size_t length) {
    return title.substr(0, length);
}
std::string_view Tail(std::string_view title, std::size_t length) {
    return length >= title.size() ? title : title.substr(title.size() - length);
}

}  // namespace

RuleMatcher::RuleMatcher(const RuleList& rules, const TextCase& textCase) : textCase_(textCase) {
    for (const WindowKiller& rule : rules.Rows()) {
        if (rule.active != "Yes") continue;
        std::optional<Mode> mode;
        if (rule.match == "Exact") mode = Mode::Exact;
        if (rule.match == "Begins") mode = Mode::Begins;
        if (rule.match == "Contains") mode = Mode::Contains;
        if (rule.match == "Ends") mode = Mode::Ends;
        if (!mode) continue;  // any other text never matches
        const bool caseSensitive = rule.caseSensitive == "Yes";
        rules_.push_back({*mode, caseSensitive, caseSensitive ? rule.title : textCase.Lower(rule.title)});
    }
}

bool RuleMatcher::Matches(std::string_view title) const {
    if (rules_.empty()) return false;
    // Lowering works character by character, so the lowered title's head or tail is the lowered head or
    // tail of the title.
    std::string lowered;
    bool haveLowered = false;
    for (const Prepared& rule : rules_) {
        std::string_view text = title;
        if (!rule.caseSensitive) {
            if (!haveLowered) {
                lowered = textCase_.Lower(title);
                haveLowered = true;
            }
            text = lowered;
        }
        const std::string_view pattern = rule.pattern;
        bool matched = false;
        switch (rule.mode) {
            case Mode::Exact:
                matched = text == pattern;
                break;
            case Mode::Begins:
                matched = Head(text, pattern.size()) == pattern;
                break;
            case Mode::Ends:
                matched = Tail(text, pattern.size()) == pattern;
                break;
            // An empty title contains nothing, not even an empty pattern.
            case Mode::Contains:
                matched = !text.empty() && text.find(pattern) != std::string_view::npos;
                break;
        }
        if (matched) return true;
    }
    return false;
}

bool RuleMatches(const WindowKiller& rule, std::string_view title, const TextCase& textCase) {
    RuleList one;
    one.Append(rule);
    return RuleMatcher(one, textCase).Matches(title);
}

bool TitleMatches(const RuleList& rules, std::string_view title, const TextCase& textCase) {
    return RuleMatcher(rules, textCase).Matches(title);
}

bool IsBrowserFrameClass(std::string_view className, const TextCase& textCase) {
    const std::string upper = textCase.Upper(className);
    return upper == kInternetExplorerFrameClass || upper == kMozillaFrameClass;
}

}  // namespace zapnix
