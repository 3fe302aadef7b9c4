#pragma once
// The About box: the program's picture on dark grey, lettered with its name and version, closed with its
// close box.

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

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

    // A line of the picture's lettering: its text, the top of its cells and its colour.
    struct PictureLine {
        std::string text;
        int top = 0;
        COLORREF colour = 0;
    };
    // The name, and below it the version of this build.
    static std::vector<PictureLine> Lettering();

    // Creates the box hidden, with its picture from the program's resources; null when the window
    // cannot be made.
    static std::unique_ptr<AboutFrm> Create(HWND owner, HICON icon);

    void Show();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    AboutFrm() = default;
    void LetterPicture();
    void DrawPicture(const DRAWITEMSTRUCT& item) const;

    UniqueGdi<HBRUSH> background_;
    UniqueBitmap picture_;
};

}  // namespace zapnix
