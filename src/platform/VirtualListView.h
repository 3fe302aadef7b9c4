#pragma once
// A report-style list view that holds no rows of its own (LVS_OWNERDATA): it asks its model for the
// text and tick state of each row as it paints, so the model is the one home of the data.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <span>
#include <string>

namespace zapnix {

class DpiScale;

class VirtualListView {
public:
    struct Column {
        const char* title;
        int width;  // pixels at 96 dots per inch
    };
    using TextSource = std::function<std::string(std::size_t row, int column)>;
    using TickSource = std::function<bool(std::size_t row)>;
    using RowAction = std::function<void(std::size_t row)>;

    // With `ticked`, every row has a tick box whose state comes from the model; the user's clicks on it
    // and the space bar call `toggle`, which changes the model. A click elsewhere on a row calls
    // `clicked`.
    void Attach(HWND list, std::span<const Column> columns, const DpiScale& scale, TextSource text,
                TickSource ticked = {}, RowAction toggle = {}, RowAction clicked = {});
    HWND Handle() const { return list_; }

    // The model's row count changed (or its rows did): repaint from the model.
    void SetRowCount(std::size_t count);

    // Handles the list's notifications (row texts and tick boxes); false when it is not this list's.
    bool OnNotify(const NMHDR& header);

private:
    void Toggle(int row);

    HWND list_ = nullptr;
    TextSource text_;
    TickSource ticked_;
    RowAction toggle_;
    RowAction clicked_;
};

}  // namespace zapnix
