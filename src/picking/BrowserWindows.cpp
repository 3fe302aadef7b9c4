#include "picking/BrowserWindows.h"

#include "engine/BrowserFrameClass.h"

namespace zapnix {

BrowserWindowTitles FindBrowserWindows(WindowSystem& windows, const TextCase& textCase) {
    BrowserWindowTitles found;
    windows.ForEachTopLevelWindow([&](WindowHandle window) {
        const std::string className = textCase.Upper(windows.ClassName(window));
        if (className == kInternetExplorerFrameClass) {
            // An Internet Explorer frame is listed even untitled: it is still a window the user can see.
            found.internetExplorer.push_back(windows.Title(window));
        } else if (className == kMozillaFrameClass) {
            // The Mozilla family keeps untitled helper windows of this class around; they are no pick.
            std::string title = windows.Title(window);
            if (!title.empty()) found.mozilla.push_back(std::move(title));
        }
    });
    return found;
}

}  // namespace zapnix
