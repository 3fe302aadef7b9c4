#include "engine/PopupKiller.h"

#include "engine/TitleMatch.h"

namespace zapnix {

void PopupKiller::CheckWindows() {
    // The rules are read afresh on every pass; nothing is kept from one pass to the next.
    const RuleMatcher matcher(rules_, textCase_);
    windows_.ForEachTopLevelWindow([&](WindowHandle window) { CheckWindow(window, matcher); });
}

void PopupKiller::CheckWindow(WindowHandle window, const RuleMatcher& matcher) {
    // Visibility, owner and process do not matter: a hidden or minimised pop-up is closed too, and the
    // program's own windows never have a browser's class.
    if (!IsBrowserFrameClass(windows_.ClassName(window), textCase_)) return;
    const std::string title = windows_.Title(window);
    if (!matcher.Matches(title)) return;
    // One polite request, not waited for; the kill is recorded whether or not the window obeys.
    windows_.PostClose(window);
    recorder_.RecordKill(title);
}

}  // namespace zapnix
