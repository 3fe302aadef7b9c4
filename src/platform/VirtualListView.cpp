#include "platform/VirtualListView.h"

#include <commctrl.h>

#include "platform/Controls.h"

namespace zapnix {

void VirtualListView::Attach(HWND list, std::span<const Column> columns, const DpiScale& scale, TextSource text,
                             TickSource ticked) {
    list_ = list;
    text_ = std::move(text);
    ticked_ = std::move(ticked);
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

bool VirtualListView::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_ || header.code != LVN_GETDISPINFOA) return false;
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
