#include "engine/TitleMatch.h"

namespace zapnix {
namespace {

enum class Mode { Exact, Begins, Contains, Ends, Never };

Mode ModeOf(std::string_view match) {
    if (match == "Exact") return Mode::Exact;
    if (match == "Begins") return Mode::Begins;
    if (match == "Contains") return Mode::Contains;
    if (match == "Ends") return Mode::Ends;
    return Mode::Never;
}

// The part of the title that a pattern of `length` characters is held against.
std::string_view Part(Mode mode, std::string_view title, std::size_t length) {
    if (length >= title.size()) return title;
    return mode == Mode::Begins ? title.substr(0, length) : title.substr(title.size() - length);
}

bool Test(Mode mode, std::string_view title, std::string_view pattern) {
    switch (mode) {
        case Mode::Exact:
        case Mode::Begins:
        case Mode::Ends:
            return title == pattern;
        // An empty title contains nothing, not even an empty pattern.
        case Mode::Contains:
            return !title.empty() && title.find(pattern) != std::string_view::npos;
        case Mode::Never:
            return false;
    }
    return false;
}

}  // namespace

bool RuleMatches(const WindowKiller& rule, std::string_view title, const TextCase& textCase) {
    if (rule.active != "Yes") return false;
    const Mode mode = ModeOf(rule.match);
    if (mode == Mode::Never) return false;
    const std::string_view pattern = rule.title;
    // Begins and Ends hold the pattern against as many characters of the title as it has: a pattern
    // longer than the title then compares with the whole, shorter title and cannot match.
    const std::string_view part =
        mode == Mode::Begins || mode == Mode::Ends ? Part(mode, title, pattern.size()) : title;
    if (rule.caseSensitive == "Yes") return Test(mode, part, pattern);
    return Test(mode, textCase.Lower(part), textCase.Lower(pattern));
}

bool TitleMatches(const RuleList& rules, std::string_view title, const TextCase& textCase) {
    bool matched = false;
    for (const WindowKiller& rule : rules.Rows())
        if (RuleMatches(rule, title, textCase)) matched = true;
    return matched;
}

bool IsBrowserFrameClass(std::string_view className, const TextCase& textCase) {
    const std::string upper = textCase.Upper(className);
    return upper == "IEFRAME" || upper == "MOZILLAWINDOWCLASS";
}

}  // namespace zapnix
