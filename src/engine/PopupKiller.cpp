#include "engine/PopupKiller.h"

#include "engine/TitleMatch.h"

namespace zapnix {

void PopupKiller::CheckWindows() {
    // The rules as they stand now: a pass never meets a rule list older than the last change.
    matcher_.Refresh();
    windows_.ForEachTopLevelWindow([&](WindowHandle window) { CheckWindow(window); });
}

void PopupKiller::CheckWindow(WindowHandle window) {
    // Visibility, owner and process do not matter: a hidden or minimised pop-up is closed too, and the
    // program's own windows never have a browser's class.
    if (!IsBrowserFrameClass(windows_.ClassName(window), textCase_)) return;
    const std::string title = windows_.Title(window);
    if (!matcher_.Matches(title)) return;
    // One polite request, not waited for; the kill is recorded whether or not the window obeys.
    windows_.PostClose(window);
    recorder_.RecordKill(title);
}

}  // namespace zapnix
