#pragma once
// The drag target: any mouse button pressed on the picture captures the mouse and shows the target's
// picture as the pointer; on release the window under the pointer is handed over. Whoever needs to can
// hear of the press, and of a drag that ends without a release because the mouse was taken away.

#include <windows.h>

#include <functional>

#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace zapnix {

class DragTargetControl {
public:
    using DropSink = std::function<void(WindowHandle windowUnderPointer)>;
    using Notice = std::function<void()>;

    DragTargetControl() = default;
    ~DragTargetControl();
    DragTargetControl(const DragTargetControl&) = delete;
    DragTargetControl& operator=(const DragTargetControl&) = delete;

    void Attach(HWND picture, HICON icon, DropSink onDrop, Notice onPress = {}, Notice onLost = {});

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Drop();

    HWND picture_ = nullptr;
    UniqueCursor dragCursor_;
    DropSink onDrop_;
    Notice onPress_;
    Notice onLost_;
    bool dragging_ = false;
};

}  // namespace zapnix
