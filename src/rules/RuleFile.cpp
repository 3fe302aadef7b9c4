#include "rules/RuleFile.h"

#include <array>

#include "profile/NumberedRows.h"

namespace zapnix {
namespace {

constexpr std::array<std::string_view, 4> kPrefixes{"Title   ", "Active  ", "Match   ", "Case    "};

}  // namespace

void LoadWinList(const IniDocument& profile, RuleList& rules) {
    ReadNumberedRows(profile, kRulesSection, kPrefixes, [&](std::span<std::string> cells) {
        rules.Append({std::move(cells[0]), std::move(cells[1]), std::move(cells[2]), std::move(cells[3])});
    });
}

void SaveWinList(const RuleList& rules, IniDocument& profile) {
    WriteNumberedRows(profile, kRulesSection, kPrefixes, rules.Count(),
                      [&](std::size_t row, std::size_t column) { return rules.Row(row).Cell(column); });
}

bool SaveWinListToFile(const std::string& path, const RuleList& rules, FileState loadedAs) {
    if (loadedAs == FileState::Unreadable) return false;
    return UpdateIniFile(path, [&](IniDocument& profile) { SaveWinList(rules, profile); });
}

}  // namespace zapnix
