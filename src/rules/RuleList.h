#pragma once
// The window killers: one home for the rule list. The main window's list view shows exactly these rows,
// the check pass reads them, and the rule file moves them to and from the profile file.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

    // The cells in the order the list view and the rule file show them: title, active, match, case.
    std::string_view Cell(std::size_t column) const {
        switch (column) {
            case 0:
                return title;
            case 1:
                return active;
            case 2:
                return match;
            case 3:
                return caseSensitive;
            default:
                return {};
        }
    }
};

// A row as the list view may change it in place: its tick box only. The cells are read-only here, so
// that every change the matcher cares about goes through the list and moves its stamp.
class TickableRow {
public:
    explicit TickableRow(WindowKiller& row)
        : title(row.title),
          active(row.active),
          match(row.match),
          caseSensitive(row.caseSensitive),
          ticked(row.ticked),
          row_(row) {}
    operator const WindowKiller&() const { return row_; }

    const std::string& title;
    const std::string& active;
    const std::string& match;
    const std::string& caseSensitive;
    bool& ticked;

private:
    const WindowKiller& row_;
};

class RuleList {
public:
    RuleList() = default;
    RuleList(const RuleList&) = default;
    RuleList& operator=(const RuleList&) = default;
    // The list left behind is empty: it needs a stamp of its own.
    RuleList(RuleList&& other) noexcept : rows_(std::move(other.rows_)), stamp_(other.stamp_) { other.Touch(); }
    RuleList& operator=(RuleList&& other) noexcept {
        if (this == &other) return *this;
        rows_ = std::move(other.rows_);
        stamp_ = other.stamp_;
        other.Touch();
        return *this;
    }

    std::size_t Count() const { return rows_.size(); }
    const WindowKiller& Row(std::size_t index) const { return rows_.at(index); }
    TickableRow Row(std::size_t index) { return TickableRow(rows_.at(index)); }
    const std::vector<WindowKiller>& Rows() const { return rows_; }

    // Changes the cells that matching reads; the tick box stays as it is.
    void SetCells(std::size_t index, const WindowKiller& cells) {
        WindowKiller& row = rows_.at(index);
        row.title = cells.title;
        row.active = cells.active;
        row.match = cells.match;
        row.caseSensitive = cells.caseSensitive;
        Touch();
    }
    void Append(WindowKiller rule) {
        rows_.push_back(std::move(rule));
        Touch();
    }
    // Removes the ticked rules; `ruleTicked`: the user has toggled a tick box since start-up.
    TickedRemoval DeleteTicked(bool ruleTicked) {
        Touch();
        return RemoveTickedRows(rows_, ruleTicked);
    }

    // Changes whenever rows or cells change (tick boxes play no part in matching). Stamps are unique
    // across all lists of the process, so a copied list carries a stamp that stands for its rows only.
    std::uint64_t Stamp() const { return stamp_; }

private:
    static std::uint64_t NextStamp() {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }
    void Touch() { stamp_ = NextStamp(); }

    std::vector<WindowKiller> rows_;
    std::uint64_t stamp_ = NextStamp();
};

}  // namespace zapnix
