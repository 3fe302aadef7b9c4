#include "platform/Controls.h"

#include <commctrl.h>

#include <algorithm>

namespace zapnix {
namespace {

struct KindTraits {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

KindTraits TraitsOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::GroupBox:
            return {"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Label:
            return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::TextBox:
            return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Picture:
            return {"STATIC", SS_ICON | SS_CENTERIMAGE | SS_NOTIFY, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {"LISTBOX", LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
        case ControlKind::Painted:
            return {"STATIC", SS_OWNERDRAW, 0};
    }
    return {"STATIC", 0, 0};
}

}  // namespace

DpiScale DpiScale::ForWindow(HWND hwnd) {
    const WindowDc dc(hwnd);
    const int dpi = dc ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
    return DpiScale(dpi > 0 ? dpi : 96);
}

UniqueFont CreateUiFont(const DpiScale& scale) {
    // The forms are laid out for 8-point MS Sans Serif (Microsoft Sans Serif on current systems): a
    // wider face would not fit the labels' texts into their places.
    LOGFONTA face{};
    face.lfHeight = -MulDiv(8, scale.Dpi(), 72);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(face.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&face));
}

std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string ControlText(HWND parent, int id) {
    return ControlText(GetDlgItem(parent, id));
}

void CreateControls(HWND parent, std::span<const ControlSpec> controls, const DpiScale& scale, HFONT font) {
    for (const ControlSpec& entry : controls) {
        const KindTraits traits = TraitsOf(entry.kind);
        HWND control = CreateWindowExA(
            traits.exStyle, traits.className, entry.caption, WS_CHILD | WS_VISIBLE | traits.style | entry.extraStyle,
            scale(entry.x), scale(entry.y), scale(entry.width), scale(entry.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), GetModuleHandleA(nullptr), nullptr);
        if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void FitClientArea(HWND hwnd, int width, int height) {
    RECT client{}, outer{};
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    const int dw = width - (client.right - client.left);
    const int dh = height - (client.bottom - client.top);
    if (dw == 0 && dh == 0) return;
    SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnScreen(HWND hwnd) {
    RECT work{}, outer{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd, &outer);
    const LONG x = work.left + std::max(0L, (work.right - work.left - (outer.right - outer.left)) / 2);
    const LONG y = work.top + std::max(0L, (work.bottom - work.top - (outer.bottom - outer.top)) / 2);
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool hasMenu,
                        const DpiScale& scale) {
    RECT rect{0, 0, scale(clientWidth), scale(clientHeight)};
    AdjustWindowRectEx(&rect, style, hasMenu ? TRUE : FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace zapnix
