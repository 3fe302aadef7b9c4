#include "rules/RuleListPanel.h"

#include <utility>

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "rules/RuleCommands.h"

namespace zapnix {
namespace {

constexpr VirtualListView::Column kColumns[] = {
    {"Window Title", 370},
    {"Active", 60},
    {"Match", 80},
    {"Case Sensitive", 100},
};

}  // namespace

void RuleListPanel::Attach(HWND list, std::function<void(std::size_t row)> edit) {
    view_.Attach(
        list, kColumns, DpiScale::ForWindow(list),
        [this](std::size_t row, int column) -> std::string {
            if (row >= rules_.Count() || column < 0) return {};
            return std::string(std::as_const(rules_).Row(row).Cell(static_cast<std::size_t>(column)));
        },
        [this](std::size_t row) { return row < rules_.Count() && rules_.Row(row).ticked; },
        [this](std::size_t row) {
            if (row >= rules_.Count()) return;
            rules_.Row(row).ticked = !rules_.Row(row).ticked;
            ruleTicked_ = true;
        },
        std::move(edit));
    Refresh();
}

void RuleListPanel::Refresh() {
    view_.SetRowCount(rules_.Count());
}

void RuleListPanel::AddRule(HWND owner, const std::string& title) {
    if (!zapnix::AddRule(rules_, title)) {
        ShowInformation(owner, "Please enter a window title before adding a new rule.");
        return;
    }
    Refresh();
}

void RuleListPanel::DeleteTicked(HWND owner) {
    const TickedRemoval outcome = rules_.DeleteTicked(ruleTicked_);
    Refresh();
    if (outcome == TickedRemoval::NoRows)
        ShowInformation(owner, "There are currently no windows to delete!");
    else if (outcome == TickedRemoval::NothingTicked)
        ShowInformation(owner, "Please select at least one window to remove!");
}

}  // namespace zapnix
