#include "picking/DragTarget.h"

namespace zapnix {

DropResult InspectDroppedWindow(WindowSystem& windows, BrowserFrames& frames, WindowHandle window) {
    DropResult result;
    // No window under the pointer reads as an empty class name, which no browser has.
    result.className = window ? windows.ClassName(window) : std::string();
    if (frames.FamilyOf(window, result.className) != BrowserFamily::None) {
        result.accepted = true;
        result.title = windows.Title(window);
    }
    return result;
}

std::string RefusedDropMessage(const DropResult& result) {
    return "This is not a valid browser window (" + result.className + ")";
}

}  // namespace zapnix
