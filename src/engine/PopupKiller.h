#pragma once
// One check pass: every top-level window is visited; a browser frame window whose title matches an
// active window killer is asked to close, and the kill is recorded once the request is delivered.
// Between passes the rules' index is kept, for as long as the rule list stays as it is, and the windows
// that refused the last pass's request.

#include <set>
#include <string>

#include "engine/KillRecorder.h"
#include "engine/TitleMatch.h"
#include "platform/TextCase.h"
#include "platform/WindowSystem.h"
#include "rules/RuleList.h"

namespace zapnix {

class PopupKiller {
public:
    PopupKiller(WindowSystem& windows, const RuleList& rules, const TextCase& textCase, KillRecorder& recorder)
        : windows_(windows), textCase_(textCase), recorder_(recorder), matcher_(rules, textCase) {}

    void CheckWindows();

private:
    void CheckWindow(WindowHandle window);

    WindowSystem& windows_;
    const TextCase& textCase_;
    KillRecorder& recorder_;
    RuleMatcher matcher_;
    // The windows that refused their close request in the last pass and in this one: a window is reported
    // again only after a pass that did not meet it refusing, so neither set outgrows one pass's windows.
    std::set<WindowHandle> refused_;
    std::set<WindowHandle> refusedNow_;
};

}  // namespace zapnix
