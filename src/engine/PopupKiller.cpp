#include "engine/PopupKiller.h"

#include "engine/TitleMatch.h"

namespace zapnix {

void PopupKiller::CheckWindows() {
    // The rules as they stand now: a pass never meets a rule list older than the last change.
    matcher_.Refresh();
    refusedNow_.clear();
    windows_.ForEachTopLevelWindow([&](WindowHandle window) { CheckWindow(window); });
    refused_.swap(refusedNow_);
}

void PopupKiller::CheckWindow(WindowHandle window) {
    // Visibility, owner and process do not matter: a hidden or minimised pop-up is closed too, and the
    // program's own windows never have a browser's class.
    if (!IsBrowserFrameClass(windows_.ClassName(window), textCase_)) return;
    const std::string title = windows_.Title(window);
    if (!matcher_.TitleMatches(title)) return;
    // One polite request, not waited for; once delivered, the kill is recorded whether or not the window
    // obeys. An undelivered one is no kill. A window of an elevated program refuses the request of every
    // pass: it is reported only when the last pass did not meet it refusing.
    if (windows_.PostClose(window)) {
        recorder_.RecordKill(title);
        return;
    }
    if (!refused_.contains(window)) recorder_.ReportUndeliveredClose(title);
    refusedNow_.insert(window);
}

}  // namespace zapnix
