#include "rules/RuleFile.h"

#include "rules/ProfileFile.h"

namespace zapnix {
namespace {

constexpr std::string_view kTitle = "Title   ";
constexpr std::string_view kActive = "Active  ";
constexpr std::string_view kMatch = "Match   ";
constexpr std::string_view kCase = "Case    ";

}  // namespace

void LoadWinList(const IniDocument& profile, RuleList& rules) {
    // A negative or absurd "Total" reads as a signed number: anything below 1 is an empty list.
    const auto total = static_cast<std::int32_t>(profile.ReadNumber(kRulesSection, "Total"));
    for (std::int32_t i = 1; i <= total; ++i) {
        const auto row = static_cast<std::size_t>(i);
        WindowKiller rule;
        rule.title = profile.ReadString(kRulesSection, NumberedKey(kTitle, row));
        rule.active = profile.ReadString(kRulesSection, NumberedKey(kActive, row));
        rule.match = profile.ReadString(kRulesSection, NumberedKey(kMatch, row));
        rule.caseSensitive = profile.ReadString(kRulesSection, NumberedKey(kCase, row));
        rules.Append(std::move(rule));
    }
}

void SaveWinList(const RuleList& rules, IniDocument& profile) {
    profile.WriteString(kRulesSection, "Total", std::to_string(rules.Count()));
    for (std::size_t i = 0; i < rules.Count(); ++i) {
        const WindowKiller& rule = rules.Row(i);
        profile.WriteString(kRulesSection, NumberedKey(kTitle, i + 1), rule.title);
        profile.WriteString(kRulesSection, NumberedKey(kActive, i + 1), rule.active);
        profile.WriteString(kRulesSection, NumberedKey(kMatch, i + 1), rule.match);
        profile.WriteString(kRulesSection, NumberedKey(kCase, i + 1), rule.caseSensitive);
    }
}

bool SaveWinListToFile(const std::string& path, const RuleList& rules) {
    auto profile = LoadIniFile(path);
    if (!profile) return false;
    SaveWinList(rules, *profile);
    return SaveIniFile(path, *profile);
}

}  // namespace zapnix
