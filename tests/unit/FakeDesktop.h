#pragma once
// A desktop of made-up windows and the processes that own them, for the portable engine: it enumerates
// windows in creation order, records every close request it delivers, and counts what it is asked about
// processes. Process ids behave as the system's: one that a hold keeps is not given to a new process.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/WindowOwners.h"
#include "platform/WindowSystem.h"

namespace zapnix::testing {

class FakeDesktop final : public WindowSystem, public WindowOwners {
public:
    WindowHandle Open(std::string className, std::string title, ProcessId owner = 0) {
        Reopen(next_, std::move(className), std::move(title), owner);
        return next_++;
    }
    // A new window under a handle that a gone one had, as the system may give it.
    void Reopen(WindowHandle handle, std::string className, std::string title, ProcessId owner = 0) {
        windows_[handle] = {std::move(className), std::move(title), owner};
        order_.push_back(handle);
    }
    void MakeUnreadable(WindowHandle handle) { windows_.at(handle).readable = false; }
    void Retitle(WindowHandle handle, std::string title) { windows_.at(handle).title = std::move(title); }
    void Destroy(WindowHandle handle) {
        windows_.erase(handle);
        std::erase(order_, handle);
    }

    // Starts a process running the executable at `path`.
    ProcessId Run(std::string path) {
        while (!RunAs(nextProcess_, path)) ++nextProcess_;
        return nextProcess_++;
    }
    // Starts a process under the given id; false, starting nothing, while the id is in use: by a running
    // process, or by one that has ended but is still held.
    bool RunAs(ProcessId id, std::string path) {
        const auto found = processes_.find(id);
        if (found != processes_.end() && (found->second.running || found->second.holds > 0)) return false;
        processes_[id] = {std::move(path)};
        return true;
    }
    // A protected process, or another user's: it cannot be opened.
    void Protect(ProcessId id, bool on = true) { processes_.at(id).isProtected = on; }
    // The process ends and its windows go with it.
    void End(ProcessId id) {
        processes_.at(id).running = false;
        std::erase_if(order_, [&](WindowHandle w) { return windows_.at(w).owner == id && windows_.erase(w); });
    }
    // The holds handed out and not yet given back.
    int Holds() const {
        int holds = 0;
        for (const auto& [id, process] : processes_) holds += process.holds;
        return holds;
    }

    void ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) override {
        for (WindowHandle handle : std::vector<WindowHandle>(order_)) visit(handle);
    }
    std::string ClassName(WindowHandle window) override { return Read(window, &Window::className); }
    std::string Title(WindowHandle window) override { return Read(window, &Window::title); }
    bool Exists(WindowHandle window) override { return windows_.contains(window); }
    bool PostClose(WindowHandle window) override {
        if (refusing.contains(window)) return false;
        closed.push_back(window);
        return true;
    }

    ProcessId ProcessOf(WindowHandle window) override {
        ++ownerQueries;
        return windows_.contains(window) ? windows_.at(window).owner : 0;
    }
    std::optional<Image> ImageOf(ProcessId id) override {
        ++imageQueries;
        const auto found = processes_.find(id);
        if (found == processes_.end() || !found->second.running || found->second.isProtected) return std::nullopt;
        ++found->second.holds;
        return Image{found->second.path, std::make_unique<FakeHold>(*this, id)};
    }
    void ReportUnreadableImage(ProcessId id) override { unreadableReports.push_back(id); }

    std::vector<WindowHandle> closed;
    std::set<WindowHandle> refusing;  // windows whose close requests are not delivered
    int ownerQueries = 0;
    int imageQueries = 0;
    std::vector<ProcessId> unreadableReports;

private:
    struct Window {
        std::string className;
        std::string title;
        ProcessId owner = 0;
        bool readable = true;  // false: class and title cannot be read
    };
    struct Process {
        std::string path;
        bool running = true;
        bool isProtected = false;
        int holds = 0;
    };
    class FakeHold final : public Hold {
    public:
        FakeHold(FakeDesktop& desktop, ProcessId id) : desktop_(desktop), id_(id) {}
        ~FakeHold() override { --desktop_.processes_.at(id_).holds; }

    private:
        FakeDesktop& desktop_;
        ProcessId id_;
    };
    std::string Read(WindowHandle window, std::string Window::*text) const {
        const Window& w = windows_.at(window);
        return w.readable ? (w.*text).substr(0, kMaxText) : std::string();
    }

    WindowHandle next_ = 0x100;
    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> order_;
    ProcessId nextProcess_ = 1000;
    std::map<ProcessId, Process> processes_;
};

}  // namespace zapnix::testing
