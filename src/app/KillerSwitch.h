#pragma once
// The killer's two triggers: the check timer, which runs a pass over every window, and the window events,
// which hand over a window the moment it appears or is renamed. Start-up says what each runs; the
// Settings dialog switches them. The timer ticks on the main window, which passes its ticks on.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "platform/WindowEventHook.h"

namespace zapnix {

class KillerSwitch {
public:
    KillerSwitch() = default;
    KillerSwitch(std::function<void()> pass, std::function<void(WindowHandle)> checkNow)
        : pass_(std::move(pass)), checkNow_(std::move(checkNow)) {}

    // The window whose timer ticks for the checks.
    void Attach(HWND window) { window_ = window; }
    // On or off: while on, the window events check a window the moment it appears. The check timer runs
    // with the given period, or not at all (nullopt), whatever the switch.
    void Switch(bool enabled, std::optional<std::uint32_t> periodMs);
    // A tick of the window's timer: true when it was the check timer's, whose pass has then run.
    bool OnTimer(WPARAM timerId);
    void Stop();

private:
    HWND window_ = nullptr;
    std::function<void()> pass_;
    std::function<void(WindowHandle)> checkNow_;
    WindowEventHook events_;
};

}  // namespace zapnix
