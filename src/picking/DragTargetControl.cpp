#include "picking/DragTargetControl.h"

#include <commctrl.h>

namespace zapnix {
namespace {

// The target's own picture as a pointer, its hot spot in the middle.
UniqueCursor CursorFromIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return UniqueCursor();
    // GetIconInfo hands over copies of the icon's bitmaps.
    const UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bitmap{};
    GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap);
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(bitmap.bmWidth / 2);
    info.yHotspot = static_cast<DWORD>((info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2) / 2);
    return UniqueCursor(CreateIconIndirect(&info));
}

HCURSOR CrossCursor() {
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
}

// A second press soon after the first arrives as a double click: it starts a drag all the same.
bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

bool IsButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

}  // namespace

DragTargetControl::~DragTargetControl() {
    if (picture_ && IsWindow(picture_)) RemoveWindowSubclass(picture_, &DragTargetControl::Procedure, 1);
}

void DragTargetControl::Attach(HWND picture, HICON icon, DropSink onDrop, Notice onPress, Notice onLost) {
    picture_ = picture;
    onDrop_ = std::move(onDrop);
    onPress_ = std::move(onPress);
    onLost_ = std::move(onLost);
    dragCursor_ = CursorFromIcon(icon);
    SetWindowSubclass(picture_, &DragTargetControl::Procedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK DragTargetControl::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    try {
        return reinterpret_cast<DragTargetControl*>(self)->Handle(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT DragTargetControl::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsButtonDown(message) && !dragging_) {
        // Holding the mouse keeps every move and the release coming here, wherever the pointer goes.
        dragging_ = true;
        SetCapture(hwnd);
        SetCursor(dragCursor_ ? dragCursor_.Get() : CrossCursor());
        if (onPress_) onPress_();
        return 0;
    }
    if (dragging_ && (message == WM_MOUSEMOVE || message == WM_SETCURSOR)) {
        SetCursor(dragCursor_ ? dragCursor_.Get() : CrossCursor());
        return 0;
    }
    if (dragging_ && IsButtonUp(message)) {
        dragging_ = false;
        ReleaseCapture();
        Drop();
        return 0;
    }
    if (message == WM_CAPTURECHANGED && dragging_) {
        // Another window took the mouse (a system dialog, Alt+Tab): no release will come.
        dragging_ = false;
        if (onLost_) onLost_();
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void DragTargetControl::Drop() {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    POINT at{};
    GetCursorPos(&at);
    if (onDrop_) onDrop_(reinterpret_cast<WindowHandle>(WindowFromPoint(at)));
}

}  // namespace zapnix
