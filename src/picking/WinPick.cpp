#include "picking/WinPick.h"

#include <optional>
#include <utility>
#include <vector>

#include "picking/WinPickIds.h"
#include "platform/MessagePump.h"

namespace zapnix {
namespace {

using namespace ids::pick;

// The label stands over the frame as a sibling, not inside it: a group box paints no children.
constexpr ControlSpec kLayout[] = {
    {Frame1, "Frame1", ControlKind::GroupBox, "Select Window", 8, 8, 505, 49},
    {Label1, "Label1", ControlKind::Label,
     "Please choose a browser window to block in future from the list below by clicking it.", 16, 24, 489, 25},
    {Label2, "Label2", ControlKind::Label, "Internet Explorer Windows:", 8, 72, 505, 16},
    {WinList, "WinList", ControlKind::ListBox, "", 8, 88, 505, 121},
    {Label3, "Label3", ControlKind::Label, "Mozilla, Phoenix and Netscape Windows:", 8, 224, 505, 16},
    {WinMozList, "WinMozList", ControlKind::ListBox, "", 8, 240, 505, 121},
    {Label4, "Label4", ControlKind::Label, "Chrome, Edge, Brave, Vivaldi and Opera Windows:", 8, 376, 505, 16},
    {WinChromeList, "WinChromeList", ControlKind::ListBox, "", 8, 392, 505, 121},
};

// Closes the picker once the list box that reported the pick has finished handling its input.
constexpr UINT kPickDone = WM_APP + 1;

// The entry's text, or nothing when the list cannot give it.
std::optional<std::string> EntryText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (copied < 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(copied < length ? copied : length));
    return text;
}

}  // namespace

std::unique_ptr<WinPick> WinPick::Create(HWND owner, HICON icon, PickSink onPick) {
    std::unique_ptr<WinPick> pick(new WinPick());
    if (!pick->CreateForm(kPickClassName, icon, owner, kClientWidth, kClientHeight, kLayout))
        return nullptr;
    pick->onPick_ = std::move(onPick);
    return pick;
}

void WinPick::AddBrowserWindows(const BrowserWindowTitles& titles) {
    const auto add = [this](int listId, const std::vector<std::string>& entries) {
        for (const std::string& title : entries)
            SendDlgItemMessageA(Hwnd(), listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    };
    add(WinList, titles.internetExplorer);
    add(WinMozList, titles.mozilla);
    add(WinChromeList, titles.chromium);
}

void WinPick::Pick(int listId) {
    // A mouse click reports the same selection twice (button down and up): one pick is all there is.
    if (picked_) return;
    HWND list = GetDlgItem(Hwnd(), listId);
    const auto index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (index < 0) return;
    const std::optional<std::string> title = EntryText(list, index);
    if (!title) return;
    picked_ = true;

    // Not destroyed here: the list box is still inside its mouse or key handling and would go on using
    // its freed state once the notification returned. Posted first, so that the picker closes after the
    // sink even when the sink fails.
    PostMessageA(Hwnd(), kPickDone, 0, 0);
    // The sink may release this picker (through its owner's slot): nothing of it is touched afterwards.
    const PickSink sink = onPick_;
    if (sink) sink(*title);
}

LRESULT WinPick::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == LBN_SELCHANGE &&
                (LOWORD(wParam) == WinList || LOWORD(wParam) == WinMozList || LOWORD(wParam) == WinChromeList)) {
                Pick(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // Keyboard users land in the first list, where the arrow keys pick at once.
            SetFocus(GetDlgItem(Hwnd(), WinList));
            return 0;
        case kPickDone:
            DestroyWindow(Hwnd());
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
