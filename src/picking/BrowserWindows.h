#pragma once
// The open browser windows as the picker lists them, by family.

#include <string>
#include <vector>

#include "engine/BrowserFrames.h"
#include "platform/WindowSystem.h"

namespace zapnix {

struct BrowserWindowTitles {
    std::vector<std::string> internetExplorer;  // "IEFRAME" windows, untitled ones too (as "")
    std::vector<std::string> mozilla;           // "MOZILLAWINDOWCLASS" windows with a title
    std::vector<std::string> chromium;          // the Chromium-family browsers' windows with a title
};

// Visits every top-level window, visible or not, in the system's order.
BrowserWindowTitles FindBrowserWindows(WindowSystem& windows, BrowserFrames& frames);

}  // namespace zapnix
