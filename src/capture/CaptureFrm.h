#pragma once
// The screen capture utility: "Screen" takes the whole primary screen, dragging the icon onto a window
// takes that window, "Clear" drops the picture and "Save" writes it as a bitmap file.

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "picking/DragTargetControl.h"
#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "capture/GdiCapture.h"

namespace zapnix {

inline constexpr char kCaptureClassName[] = "CaptureFrm";

class CaptureFrm : public BaseWindow<CaptureFrm> {
public:
    static constexpr int kClientWidth = 490;
    static constexpr int kClientHeight = 450;

    // Creates the window hidden with an empty picture. `mainWindow` is hidden while the icon is dragged
    // and shown again after the drop.
    static std::unique_ptr<CaptureFrm> Create(HWND owner, HICON icon, HWND mainWindow);

    // The picture shown now (none after "Clear").
    const Picture& Current() const { return picture_; }
    // Shows the picture of this window (the whole window with its frame), as a drop on it does.
    void CaptureDropped(HWND window);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class BaseWindow<CaptureFrm>;
    // The picture goes with the window, not later with the object.
    void OnWindowGone() noexcept override { picture_ = Picture{}; }

    CaptureFrm() = default;
    void OnCommand(int id);
    void OnDragStart();
    void OnDrop(WindowHandle window);
    void Show(Picture picture);
    void Clear();
    void Save();
    void DrawPicture(const DRAWITEMSTRUCT& item) const;

    HWND mainWindow_ = nullptr;
    Picture picture_;
    DragTargetControl dragIcon_;
};

}  // namespace zapnix
