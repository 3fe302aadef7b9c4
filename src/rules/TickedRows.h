#pragma once
// Removing the rows whose tick boxes are ticked, as the rule list and the kill log both do it.

#include <algorithm>
#include <vector>

namespace zapnix {

enum class TickedRemoval {
    NoRows,         // there is nothing to remove from
    NothingTicked,  // no tick box was toggled yet: the user is told to tick some
    Done,           // every ticked row is gone, the others keep their order
};

// `anyTickToggled`: the user has toggled a tick box since the window was created.
template <typename Row>
TickedRemoval RemoveTickedRows(std::vector<Row>& rows, bool anyTickToggled) {
    if (rows.empty()) return TickedRemoval::NoRows;
    std::erase_if(rows, [](const Row& row) { return row.ticked; });
    return anyTickToggled ? TickedRemoval::Done : TickedRemoval::NothingTicked;
}

}  // namespace zapnix
