#include "rules/RuleCommands.h"

namespace zapnix {
namespace {

bool SameCells(const WindowKiller& a, const WindowKiller& b) {
    return a.title == b.title && a.active == b.active && a.match == b.match && a.caseSensitive == b.caseSensitive;
}

}  // namespace

bool AddRule(RuleList& rules, std::string_view title) {
    if (title.empty()) return false;
    rules.Append({std::string(title), "Yes", "Exact", "No"});
    return true;
}

std::optional<std::size_t> FindRule(const RuleList& rules, std::string_view title) {
    for (std::size_t i = 0; i < rules.Count(); ++i)
        if (rules.Row(i).title == title) return i;
    return std::nullopt;
}

ApplyOutcome ApplyEdit(RuleList& rules, const RuleEdit& edit, const WindowKiller& edited) {
    if (edited.title.empty()) return ApplyOutcome::EmptyTitle;
    // The main window can come back from the tray while the editor is open, and its list can change:
    // a row that no longer holds the opened rule is somebody else's.
    if (edit.row >= rules.Count() || !SameCells(rules.Row(edit.row), edit.original)) return ApplyOutcome::RuleGone;
    rules.SetCells(edit.row, edited);
    return ApplyOutcome::Applied;
}

}  // namespace zapnix
