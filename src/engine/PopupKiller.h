#pragma once
// One check pass: every top-level window is visited; a browser frame window whose title matches an
// active window killer is asked to close, and the kill is recorded once the request is delivered. A
// window that has just appeared or been renamed is checked the same way at once. Between passes the
// rules' index is kept, for as long as the rule list stays as it is, the windows that refused the last
// pass's request, and the windows checked at once that were asked to close.

#include <optional>
#include <set>
#include <string>

#include "engine/BrowserFrames.h"
#include "engine/KillRecorder.h"
#include "engine/TitleMatch.h"
#include "platform/TextCase.h"
#include "platform/WindowSystem.h"
#include "rules/RuleList.h"

namespace zapnix {

class PopupKiller {
public:
    PopupKiller(WindowSystem& windows, BrowserFrames& frames, const RuleList& rules, const TextCase& textCase,
                KillRecorder& recorder)
        : windows_(windows), frames_(frames), recorder_(recorder), matcher_(rules, textCase) {}

    void CheckWindows();
    // A window has just been created, shown or renamed. Its creation, its showing and its renames come as
    // several events: a window is asked to close, and its kill recorded, once for them all. (A window that
    // stays open after that is met again by every pass.)
    void CheckWindowNow(WindowHandle window);

private:
    // The title of a window to close, or nothing.
    std::optional<std::string> MatchingTitle(WindowHandle window);
    void CheckWindow(WindowHandle window);
    bool Close(WindowHandle window, const std::string& title);

    WindowSystem& windows_;
    BrowserFrames& frames_;
    KillRecorder& recorder_;
    RuleMatcher matcher_;
    // The windows that refused their close request in the last pass and in this one: a window is reported
    // again only after a pass that did not meet it refusing, so neither set outgrows one pass's windows.
    std::set<WindowHandle> refused_;
    std::set<WindowHandle> refusedNow_;
    // The windows checked at once and asked to close: those a pass meets, or that still exist at the next
    // such request.
    std::set<WindowHandle> askedAtOnce_;
};

}  // namespace zapnix
