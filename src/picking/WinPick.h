#pragma once
// The browser window picker: three sorted lists of the open browser windows' titles by family. A click
// (or a keyboard selection) on an entry hands its title over and closes the picker.

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "picking/BrowserWindows.h"
#include "platform/BaseWindow.h"
#include "platform/Controls.h"

namespace zapnix {

inline constexpr char kPickClassName[] = "WinPick";

class WinPick : public BaseWindow<WinPick> {
public:
    using PickSink = std::function<void(const std::string& title)>;

    static constexpr int kClientWidth = 522;
    static constexpr int kClientHeight = 536;

    // Creates the picker hidden, with empty lists. `onPick` receives the picked title; the picker then
    // closes itself.
    static std::unique_ptr<WinPick> Create(HWND owner, HICON icon, PickSink onPick);

    // Appends the titles to the three lists (entries already there stay: a second "Grab Title" lists the
    // windows again).
    void AddBrowserWindows(const BrowserWindowTitles& titles);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    WinPick() = default;
    void Pick(int listId);

    PickSink onPick_;
    bool picked_ = false;
};

}  // namespace zapnix
