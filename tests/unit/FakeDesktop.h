#pragma once
// A desktop of made-up windows for the portable engine: it enumerates in creation order and records
// every close request it delivers.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace zapnix::testing {

class FakeDesktop final : public WindowSystem {
public:
    struct Window {
        std::string className;
        std::string title;
        bool readable = true;  // false: class and title cannot be read
    };

    WindowHandle Open(std::string className, std::string title) {
        const WindowHandle handle = next_++;
        windows_[handle] = {std::move(className), std::move(title)};
        order_.push_back(handle);
        return handle;
    }
    void MakeUnreadable(WindowHandle handle) { windows_.at(handle).readable = false; }
    void Retitle(WindowHandle handle, std::string title) { windows_.at(handle).title = std::move(title); }
    void Destroy(WindowHandle handle) {
        windows_.erase(handle);
        std::erase(order_, handle);
    }
    // A new window under a handle that a gone one had, as the system may give it.
    void Reopen(WindowHandle handle, std::string className, std::string title) {
        windows_[handle] = {std::move(className), std::move(title)};
        order_.push_back(handle);
    }

    void ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) override {
        for (WindowHandle handle : order_) visit(handle);
    }
    std::string ClassName(WindowHandle window) override {
        const auto& w = windows_.at(window);
        return w.readable ? w.className.substr(0, kMaxText) : std::string();
    }
    std::string Title(WindowHandle window) override {
        const auto& w = windows_.at(window);
        return w.readable ? w.title.substr(0, kMaxText) : std::string();
    }
    bool Exists(WindowHandle window) override { return windows_.contains(window); }
    bool PostClose(WindowHandle window) override {
        if (refusing.contains(window)) return false;
        closed.push_back(window);
        return true;
    }

    std::vector<WindowHandle> closed;
    std::set<WindowHandle> refusing;  // windows whose close requests are not delivered

private:
    WindowHandle next_ = 0x100;
    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> order_;
};

}  // namespace zapnix::testing
