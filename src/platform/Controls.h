#pragma once
// Windows are described as constant tables of controls placed in pixels at 96 dots per inch; the
// controls are created from the table, scaled for the display, so that the code reads like the form
// and a layout test can hold the live window against the same table.

#include <windows.h>

#include <span>
#include <string>

#include "platform/Handles.h"

namespace zapnix {

// Painted: a picture box whose parent paints it whole (WM_DRAWITEM).
enum class ControlKind { GroupBox, Label, TextBox, Button, Picture, ListView, ListBox, ComboBox, Painted };

struct ControlSpec {
    int id;
    const char* name;  // the control's name in the program, for tests and readers
    ControlKind kind;
    const char* caption;
    int x, y, width, height;  // client pixels at 96 dots per inch; a combo box's height includes its list
    DWORD extraStyle = 0;
};

class DpiScale {
public:
    explicit DpiScale(int dpi) : dpi_(dpi) {}
    static DpiScale ForWindow(HWND hwnd);
    int operator()(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
    int Dpi() const { return dpi_; }

private:
    int dpi_;
};

// The program's font for the given display.
UniqueFont CreateUiFont(const DpiScale& scale);

// WM_DRAWITEM's request when it is for the painted control `id`, else null.
inline const DRAWITEMSTRUCT* DrawRequestFor(LPARAM lParam, int id) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return item && item->CtlID == static_cast<UINT>(id) ? item : nullptr;
}

// The whole text of a window or of a dialog item, however long.
std::string ControlText(HWND control);
std::string ControlText(HWND parent, int id);

void CreateControls(HWND parent, std::span<const ControlSpec> controls, const DpiScale& scale, HFONT font);

// Makes the client area exactly the given size (device pixels), whatever the menu bar and frame took.
void FitClientArea(HWND hwnd, int width, int height);
void CentreOnScreen(HWND hwnd);

// The window's outer size for a client area of the given size at 96 dots per inch.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool hasMenu,
                        const DpiScale& scale);

}  // namespace zapnix
