#include "engine/PopupKiller.h"

namespace zapnix {

void PopupKiller::CheckWindows() {
    // The rules as they stand now: a pass never meets a rule list older than the last change.
    matcher_.Refresh();
    refusedNow_.clear();
    std::set<WindowHandle> stillThere;
    frames_.ForEachFrame([&](WindowHandle window, BrowserFamily) {
        if (askedAtOnce_.contains(window)) stillThere.insert(window);
        CheckWindow(window);
    });
    refused_.swap(refusedNow_);
    askedAtOnce_.swap(stillThere);
}

void PopupKiller::CheckWindowNow(WindowHandle window) {
    // Asked already: its showing or a rename after its creation is the same pop-up.
    if (askedAtOnce_.contains(window)) return;
    if (frames_.FamilyOf(window, windows_.ClassName(window)) == BrowserFamily::None) return;
    matcher_.Refresh();
    const std::optional<std::string> title = MatchingTitle(window);
    if (!title) return;
    if (!Close(window, *title)) {
        refused_.insert(window);  // reported now: neither its next event nor the next pass reports it again
        return;
    }
    // The gone ones go, so that a window given a gone one's handle later is not taken for it.
    std::erase_if(askedAtOnce_, [&](WindowHandle asked) { return !windows_.Exists(asked); });
    askedAtOnce_.insert(window);
}

std::optional<std::string> PopupKiller::MatchingTitle(WindowHandle window) {
    // Of a browser frame: visibility and owner window do not matter, a hidden or minimised pop-up is closed
    // too, and the program's own windows are never browser frames.
    std::string title = windows_.Title(window);
    if (!matcher_.TitleMatches(title)) return std::nullopt;
    return title;
}

void PopupKiller::CheckWindow(WindowHandle window) {
    if (const std::optional<std::string> title = MatchingTitle(window)) Close(window, *title);
}

bool PopupKiller::Close(WindowHandle window, const std::string& title) {
    // One polite request, not waited for; once delivered, the kill is recorded whether or not the window
    // obeys. An undelivered one is no kill. A window of an elevated program refuses the request of every
    // pass: it is reported only when the last pass did not meet it refusing.
    if (windows_.PostClose(window)) {
        recorder_.RecordKill(title);
        return true;
    }
    if (!refused_.contains(window)) recorder_.ReportUndeliveredClose(title);
    refusedNow_.insert(window);
    return false;
}

}  // namespace zapnix
