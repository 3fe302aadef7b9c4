#pragma once
// Which windows are browser frames, for every place that asks: the check pass, the drag target and the
// browser window picker. Internet Explorer's and the Mozilla family's frames are told by their class
// alone. Chrome's class is shared with desktop programs built on the same engine, so a window of that
// class counts only when the executable of the process that owns it is one of the Chromium-family
// browsers, by file name.
//
// Each process's executable is asked once, not once per window or per pass. The answer is kept with
// the process held open, so that its id cannot pass to another process while the answer stands; a
// process that owns no window of that class in a pass is let go. A process that cannot be asked has no
// hold to keep its id: it counts as no browser for the rest of that pass, is asked again in the next
// one, and is reported once for as long as it keeps failing pass after pass.
//
// Which process owns a window is asked once per window too, and kept while every pass meets the window:
// a window belongs to the process that made it until it is destroyed, and the system gives the same
// handle to another window only after the handle's slot has served some 65,000 other windows (the high
// word of a handle counts the uses of its slot). A wrong answer would take that many windows within one
// pass interval, the last of them of the shared class in another program. Asking on every pass instead
// would cost about half as much again as reading the class: for another program's window each is a call
// into the window server, under Wine a round trip to the wineserver.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/TextCase.h"
#include "platform/WindowOwners.h"
#include "platform/WindowSystem.h"

namespace zapnix {

enum class BrowserFamily { None, InternetExplorer, Mozilla, Chromium };

class BrowserFrames {
public:
    // Knows no Chromium-family browser until it is told some.
    BrowserFrames(WindowSystem& windows, WindowOwners& owners, const TextCase& textCase)
        : windows_(windows), owners_(owners), textCase_(textCase) {}
    BrowserFrames(const BrowserFrames&) = delete;
    BrowserFrames& operator=(const BrowserFrames&) = delete;

    // The executable file names (no folder, any letter case) of the Chromium-family browsers.
    void SetChromiumBrowsers(std::span<const std::string> fileNames);

    // The family of one window whose class name the caller has read (the class decides in any letter case
    // of the user's locale); None for every other window.
    BrowserFamily FamilyOf(WindowHandle window, std::string_view className);

    // One pass: `visit` is called for every top-level window that is a browser frame, visible or not, in
    // the system's order. Not to be called again from `visit`.
    void ForEachFrame(const std::function<void(WindowHandle, BrowserFamily)>& visit);

private:
    struct KnownProcess {
        std::unique_ptr<WindowOwners::Hold> hold;  // none: the process could not be asked
        bool browser = false;
        std::uint64_t metInPass = 0;
    };

    struct KnownWindow {
        ProcessId process = 0;
        std::uint64_t metInPass = 0;
    };

    bool RunsChromiumBrowser(WindowHandle window);
    ProcessId OwnerOf(WindowHandle window);
    bool IsChromiumBrowser(ProcessId process);

    WindowSystem& windows_;
    WindowOwners& owners_;
    const TextCase& textCase_;
    std::vector<std::string> browsers_;  // upper-cased
    std::unordered_map<WindowHandle, KnownWindow> knownWindows_;
    std::unordered_map<ProcessId, KnownProcess> knownProcesses_;
    std::uint64_t pass_ = 0;  // the pass under way, or else the last one
    bool inPass_ = false;
};

}  // namespace zapnix
