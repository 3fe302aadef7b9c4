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
    processes_.clear();
}

BrowserFamily BrowserFrames::FamilyOf(WindowHandle window, std::string_view className) {
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
    // A process that owns no window of the shared class now is let go: one that has ended frees its id.
    std::erase_if(processes_, [&](const auto& entry) { return entry.second.metInPass != pass_; });
}

bool BrowserFrames::RunsChromiumBrowser(WindowHandle window) {
    if (browsers_.empty()) return false;
    const ProcessId process = owners_.ProcessOf(window);
    return process != 0 && IsChromiumBrowser(process);
}

bool BrowserFrames::IsChromiumBrowser(ProcessId process) {
    const auto found = processes_.find(process);
    if (found != processes_.end()) {
        KnownProcess& known = found->second;
        const bool askedThisPass = inPass_ && known.metInPass == pass_;
        known.metInPass = pass_;
        // A held process is still the one that was asked; a failure holds nothing and stands for its pass.
        if (known.hold || askedThisPass) return known.browser;
    }
    std::optional<WindowOwners::Image> image = owners_.ImageOf(process);
    // Known and without a hold: it failed when it was last met, and was reported then.
    if (!image && found == processes_.end()) owners_.ReportUnreadableImage(process);
    KnownProcess& known = processes_[process];
    known.metInPass = pass_;
    known.browser =
        image && std::ranges::find(browsers_, textCase_.Upper(FileNameOf(image->path))) != browsers_.end();
    if (image) known.hold = std::move(image->hold);
    return known.browser;
}

}  // namespace zapnix
