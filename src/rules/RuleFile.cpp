#include "rules/RuleFile.h"

#include "profile/NumberedRows.h"

namespace zapnix {

void LoadWinList(const IniDocument& profile, RuleList& rules) {
    ReadNumberedRows(profile, kRulesSection, kRuleKeyPrefixes, [&](std::span<std::string> cells) {
        rules.Append({std::move(cells[0]), std::move(cells[1]), std::move(cells[2]), std::move(cells[3])});
    });
}

void SaveWinList(const RuleList& rules, IniDocument& profile) {
    WriteNumberedRows(profile, kRulesSection, kRuleKeyPrefixes, rules.Count(),
                      [&](std::size_t row, std::size_t column) { return rules.Row(row).Cell(column); });
}

bool SaveWinListToFile(const std::string& path, const RuleList& rules, FileState loadedAs) {
    if (loadedAs == FileState::Unreadable) return false;
    return UpdateIniFile(path, [&](IniDocument& profile) { SaveWinList(rules, profile); });
}

}  // namespace zapnix
