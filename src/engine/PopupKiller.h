#pragma once
// One check pass: every top-level window is visited; a browser frame window whose title matches an
// active window killer is asked to close, and the kill is recorded. Between passes only the rules'
// index is kept, and only for as long as the rule list stays as it is.

#include <string>

#include "engine/TitleMatch.h"
#include "platform/TextCase.h"
#include "platform/WindowSystem.h"
#include "rules/RuleList.h"

namespace zapnix {

// Where kills go: the kill log, which saves itself on every entry.
class KillRecorder {
public:
    virtual ~KillRecorder() = default;
    virtual void RecordKill(const std::string& title) = 0;
};

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
};

}  // namespace zapnix
