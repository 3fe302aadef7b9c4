#include "picking/DragTarget.h"

#include "engine/TitleMatch.h"

namespace zapnix {

DropResult InspectDroppedWindow(WindowSystem& windows, const TextCase& textCase, WindowHandle window) {
    DropResult result;
    // No window under the pointer reads as an empty class name, which no browser has.
    result.className = window ? windows.ClassName(window) : std::string();
    if (IsBrowserFrameClass(result.className, textCase)) {
        result.accepted = true;
        result.title = windows.Title(window);
    }
    return result;
}

std::string RefusedDropMessage(const DropResult& result) {
    return "This is not a valid browser window (" + result.className + ")";
}

}  // namespace zapnix
