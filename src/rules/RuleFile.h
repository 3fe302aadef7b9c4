#pragma once
// The rule list in the profile file: section "Windows", "Total" and four keys per rule whose eight-
// character prefixes ("Title   ", "Active  ", "Match   ", "Case    ") are followed by the row number.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "profile/IniDocument.h"
#include "profile/ProfileFile.h"
#include "rules/RuleList.h"

namespace zapnix {

inline constexpr std::string_view kProfileFileName = "quorb.ini";
inline constexpr std::string_view kRulesSection = "Windows";
// A rule's keys are these prefixes followed by its row number, in this order.
inline constexpr std::array<std::string_view, 4> kRuleKeyPrefixes{"Title   ", "Active  ", "Match   ", "Case    "};

// Appends the rules of the profile to `rules` (the list is not cleared; values are not checked).
void LoadWinList(const IniDocument& profile, RuleList& rules);
// Writes "Total" and the keys of every rule; keys of rows beyond the count stay as they were.
void SaveWinList(const RuleList& rules, IniDocument& profile);

// SaveWinList against the file at `path`: only the rule keys change and the file is replaced
// atomically; false (file untouched) when it could not be read or written. `loadedAs` is what the
// load at start-up found: rules that were never read (Unreadable) are never written over, even when
// the file can be read by now, because the list in memory lacks them.
bool SaveWinListToFile(const std::string& path, const RuleList& rules, FileState loadedAs = FileState::Ok);

}  // namespace zapnix
