#pragma once
// The About box: the program's picture on dark grey, closed with its close box.

#include <windows.h>

#include <memory>
#include <span>

#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "platform/Handles.h"

namespace zapnix {

inline constexpr char kAboutClassName[] = "AboutFrm";

class AboutFrm : public BaseWindow<AboutFrm> {
public:
    static constexpr int kClientWidth = 312;
    static constexpr int kClientHeight = 213;
    static constexpr COLORREF kBackground = RGB(64, 64, 64);

    // Creates the box hidden, with its picture from the program's resources; null when the window
    // cannot be made.
    static std::unique_ptr<AboutFrm> Create(HWND owner, HICON icon);

    void Show();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    AboutFrm() = default;
    void DrawPicture(const DRAWITEMSTRUCT& item) const;

    UniqueGdi<HBRUSH> background_;
    UniqueBitmap picture_;
};

}  // namespace zapnix
