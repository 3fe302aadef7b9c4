#pragma once
// What a notification from the tray icon means. The icon reports mouse events through the code of
// WM_MOUSEMOVE, which ordinary mouse moves over the main window also carry; so events count only while
// the main window is hidden, when no ordinary move can reach it.

#include <cstdint>

namespace zapnix {

enum class TrayAction { None, Restore, ShowMenu };

inline constexpr std::int32_t kTrayLeftDoubleClick = 0x203;
inline constexpr std::int32_t kTrayRightDown = 0x204;
inline constexpr std::int32_t kTrayRightUp = 0x205;

class TrayEvents {
public:
    // `code` is the low word of the notification's second parameter.
    TrayAction OnNotify(bool mainWindowVisible, std::int32_t code) {
        if (mainWindowVisible) return TrayAction::None;
        TrayAction action = TrayAction::None;
        if (code == kTrayLeftDoubleClick)
            action = TrayAction::Restore;
        else if (code == kTrayRightUp && last_ == kTrayRightDown)
            action = TrayAction::ShowMenu;
        last_ = code;
        return action;
    }
    std::int32_t LastTrayEvent() const { return last_; }

private:
    std::int32_t last_ = 0;
};

}  // namespace zapnix
