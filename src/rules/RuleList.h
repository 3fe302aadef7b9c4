#pragma once
// The window killers: one home for the rule list. The main window's list view shows exactly these rows,
// the check pass reads them, and the rule file moves them to and from the profile file.

#include <cstddef>
#include <string>
#include <vector>

#include "rules/TickedRows.h"

namespace zapnix {

// One rule as the user sees it: every cell is text, exactly as loaded or typed. What the texts mean
// (which count as active, as case-sensitive, as a match mode) is the matcher's business.
struct WindowKiller {
    std::string title;
    std::string active;
    std::string match;
    std::string caseSensitive;
    bool ticked = false;  // the row's tick box: lives only in memory, never in a file

    friend bool operator==(const WindowKiller&, const WindowKiller&) = default;
};

class RuleList {
public:
    std::size_t Count() const { return rows_.size(); }
    const WindowKiller& Row(std::size_t index) const { return rows_.at(index); }
    WindowKiller& Row(std::size_t index) { return rows_.at(index); }
    const std::vector<WindowKiller>& Rows() const { return rows_; }

    void Append(WindowKiller rule) { rows_.push_back(std::move(rule)); }
    // Removes the ticked rules; `ruleTicked`: the user has toggled a tick box since start-up.
    TickedRemoval DeleteTicked(bool ruleTicked) { return RemoveTickedRows(rows_, ruleTicked); }

private:
    std::vector<WindowKiller> rows_;
};

}  // namespace zapnix
