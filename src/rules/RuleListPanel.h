#pragma once
// The main window's rule list and the commands on it: the list view showing the rule store's rows with
// their tick boxes, "Add Rule" from a title and "Delete Ticked".

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "platform/VirtualListView.h"
#include "rules/RuleList.h"

namespace zapnix {

class RuleListPanel {
public:
    // `rules` must outlive the panel.
    explicit RuleListPanel(RuleList& rules) : rules_(rules) {}

    // Shows the rules in `list`; a click on a row's text (not its tick box) calls `edit` with the row.
    void Attach(HWND list, std::function<void(std::size_t row)> edit);
    // The rules changed: the view shows the model's rows again.
    void Refresh();
    bool OnNotify(const NMHDR& header) { return view_.OnNotify(header); }

    // "Add Rule": a new last rule "Yes", "Exact", "No" for the title, or a message for an empty one.
    void AddRule(HWND owner, const std::string& title);
    // "Delete Ticked": removes the ticked rules, or says why nothing could be.
    void DeleteTicked(HWND owner);

private:
    RuleList& rules_;
    VirtualListView view_;
    bool ruleTicked_ = false;  // a tick box has been toggled since the window was made
};

}  // namespace zapnix
