#include "platform/VirtualListView.h"

#include <commctrl.h>

#include "platform/Controls.h"

namespace zapnix {

void VirtualListView::Attach(HWND list, std::span<const Column> columns, const DpiScale& scale, TextSource text,
                             TickSource ticked, RowAction toggle, RowAction clicked) {
    list_ = list;
    text_ = std::move(text);
    ticked_ = std::move(ticked);
    toggle_ = std::move(toggle);
    clicked_ = std::move(clicked);
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    if (ticked_) extended |= LVS_EX_CHECKBOXES;
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    // Tick boxes are state images: with owner data the view must ask the model for them too.
    if (ticked_) SendMessageA(list_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    int index = 0;
    for (const Column& column : columns) {
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.pszText = const_cast<char*>(column.title);
        lvc.cx = scale(column.width);
        lvc.iSubItem = index;
        SendMessageA(list_, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&lvc));
        ++index;
    }
}

void VirtualListView::SetRowCount(std::size_t count) {
    SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void VirtualListView::Toggle(int row) {
    if (row < 0 || !toggle_) return;
    toggle_(static_cast<std::size_t>(row));
    SendMessageA(list_, LVM_REDRAWITEMS, row, row);
}

bool VirtualListView::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return false;
    if (header.code == NM_CLICK || header.code == NM_DBLCLK) {
        // The list keeps no tick state of its own: a click on a row's box is the model's to apply.
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
        if (SendMessageA(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0) return true;
        if (hit.flags & LVHT_ONITEMSTATEICON)
            Toggle(hit.iItem);
        else if (header.code == NM_CLICK && clicked_)
            clicked_(static_cast<std::size_t>(hit.iItem));
        return true;
    }
    if (header.code == LVN_KEYDOWN) {
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE)
            Toggle(static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
        return true;
    }
    if (header.code != LVN_GETDISPINFOA) return false;
    auto& item = const_cast<LVITEMA&>(reinterpret_cast<const NMLVDISPINFOA&>(header).item);
    if (item.iItem < 0) return true;
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::string text = text_ ? text_(row, item.iSubItem) : std::string();
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
    if ((item.mask & LVIF_STATE) && ticked_) {
        item.state = INDEXTOSTATEIMAGEMASK(ticked_(row) ? 2 : 1);
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
    return true;
}

}  // namespace zapnix
