#include "picking/BrowserWindows.h"

namespace zapnix {

BrowserWindowTitles FindBrowserWindows(WindowSystem& windows, BrowserFrames& frames) {
    BrowserWindowTitles found;
    frames.ForEachFrame([&](WindowHandle window, BrowserFamily family) {
        std::string title = windows.Title(window);
        switch (family) {
            case BrowserFamily::InternetExplorer:
                // An Internet Explorer frame is listed even untitled: it is still a window the user can see.
                found.internetExplorer.push_back(std::move(title));
                break;
            case BrowserFamily::Mozilla:
                // The Mozilla family keeps untitled helper windows of this class around; they are no pick.
                if (!title.empty()) found.mozilla.push_back(std::move(title));
                break;
            case BrowserFamily::Chromium:
                // So do the Chromium family's browsers.
                if (!title.empty()) found.chromium.push_back(std::move(title));
                break;
            case BrowserFamily::None:
                break;
        }
    });
    return found;
}

}  // namespace zapnix
