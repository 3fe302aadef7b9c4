#pragma once
// What a drop of the target on a window means: the very window under the pointer must be a browser
// frame (no walk up to its top-level window), and then its title is taken.

#include <string>

#include "engine/BrowserFrames.h"
#include "platform/WindowSystem.h"

namespace zapnix {

struct DropResult {
    bool accepted = false;
    std::string title;      // accepted: the window's title, exactly as read
    std::string className;  // refused: the class as read, for the message
};

DropResult InspectDroppedWindow(WindowSystem& windows, BrowserFrames& frames, WindowHandle window);

// "This is not a valid browser window (" + class + ")".
std::string RefusedDropMessage(const DropResult& result);

}  // namespace zapnix
