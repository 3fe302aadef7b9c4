#include "engine/BrowserFrames.h"

#include <algorithm>

#include "engine/BrowserFrameClass.h"

namespace zapnix {
namespace {

std::string_view FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

void BrowserFrames::SetChromiumBrowsers(std::span<const std::string> fileNames) {
    browsers_.clear();
    for (const std::string& name : fileNames) browsers_.push_back(textCase_.Upper(name));
    // Answers given for the old list no longer hold.
    knownProcesses_.clear();
}

BrowserFamily BrowserFrames::FamilyOf(WindowHandle window, std::string_view className) {
    // Upper-casing keeps the length, which tells most classes from the three without the copy.
    const std::size_t size = className.size();
    if (size != kInternetExplorerFrameClass.size() && size != kMozillaFrameClass.size() &&
        size != kChromiumFrameClass.size())
        return BrowserFamily::None;
    const std::string upper = textCase_.Upper(className);
    if (upper == kInternetExplorerFrameClass) return BrowserFamily::InternetExplorer;
    if (upper == kMozillaFrameClass) return BrowserFamily::Mozilla;
    if (upper == kChromiumFrameClass && RunsChromiumBrowser(window)) return BrowserFamily::Chromium;
    return BrowserFamily::None;
}

void BrowserFrames::ForEachFrame(const std::function<void(WindowHandle, BrowserFamily)>& visit) {
    ++pass_;
    struct PassScope {
        bool& inPass;
        explicit PassScope(bool& flag) : inPass(flag) { inPass = true; }
        ~PassScope() { inPass = false; }
    } scope(inPass_);
    windows_.ForEachTopLevelWindow([&](WindowHandle window) {
        const BrowserFamily family = FamilyOf(window, windows_.ClassName(window));
        if (family != BrowserFamily::None) visit(window, family);
    });
    // A window gone may give its handle to another one; a process that owns no window of the shared class
    // now is let go, and one that has ended frees its id.
    const auto notMet = [&](const auto& entry) { return entry.second.metInPass != pass_; };
    std::erase_if(knownWindows_, notMet);
    std::erase_if(knownProcesses_, notMet);
}

bool BrowserFrames::RunsChromiumBrowser(WindowHandle window) {
    if (browsers_.empty()) return false;
    const ProcessId process = OwnerOf(window);
    return process != 0 && IsChromiumBrowser(process);
}

ProcessId BrowserFrames::OwnerOf(WindowHandle window) {
    auto found = knownWindows_.find(window);
    if (found == knownWindows_.end()) {
        const ProcessId process = owners_.ProcessOf(window);
        if (process == 0) return 0;
        found = knownWindows_.emplace(window, KnownWindow{process}).first;
    }
    found->second.metInPass = pass_;
    return found->second.process;
}

bool BrowserFrames::IsChromiumBrowser(ProcessId process) {
    const auto found = knownProcesses_.find(process);
    if (found != knownProcesses_.end()) {
        KnownProcess& known = found->second;
        const bool askedThisPass = inPass_ && known.metInPass == pass_;
        known.metInPass = pass_;
        // A held process is still the one that was asked; a failure holds nothing and stands for its pass.
        if (known.hold || askedThisPass) return known.browser;
    }
    std::optional<WindowOwners::Image> image = owners_.ImageOf(process);
    // Known and without a hold: it failed when it was last met, and was reported then.
    if (!image && found == knownProcesses_.end()) owners_.ReportUnreadableImage(process);
    KnownProcess& known = knownProcesses_[process];
    known.metInPass = pass_;
    known.browser =
        image && std::ranges::find(browsers_, textCase_.Upper(FileNameOf(image->path))) != browsers_.end();
    if (image) known.hold = std::move(image->hold);
    return known.browser;
}

}  // namespace zapnix
