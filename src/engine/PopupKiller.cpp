#include "engine/PopupKiller.h"

#include "engine/TitleMatch.h"

namespace zapnix {

void PopupKiller::CheckWindows() {
    windows_.ForEachTopLevelWindow([this](WindowHandle window) { CheckWindow(window); });
}

bool PopupKiller::CheckWindow(WindowHandle window) {
    // Visibility, owner and process do not matter: a hidden or minimised pop-up is closed too, and the
    // program's own windows never have a browser's class.
    if (!IsBrowserFrameClass(windows_.ClassName(window), textCase_)) return true;
    const std::string title = windows_.Title(window);
    if (!TitleMatches(rules_, title, textCase_)) return true;
    // One polite request, not waited for; the kill is recorded whether or not the window obeys.
    windows_.PostClose(window);
    recorder_.RecordKill(title);
    return true;
}

}  // namespace zapnix
