#pragma once
// The Settings dialog: the check delay, the killer switch, start minimised and start with Windows,
// loaded from the profile file when it opens and applied at once by "Apply". The close box discards.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "platform/RunKeyRegistry.h"
#include "platform/WindowContext.h"

namespace zapnix {

inline constexpr char kSettingsClassName[] = "SettingsFrm";

class SettingsFrm : public BaseWindow<SettingsFrm> {
public:
    // What "Apply" hands to the main window: the killer's switch with the check timer's new period
    // (nullopt: the timer stopped), then, once the dialog has gone, the request to show the main window.
    struct MainWindowHooks {
        std::function<void(bool enabled, std::optional<std::uint32_t> checkPeriodMs)> switchKiller;
        std::function<void()> show;
    };

    static constexpr int kClientWidth = 314;
    static constexpr int kClientHeight = 263;
    // Where the dialog opens, in pixels at 96 dots per inch from the screen's upper left corner.
    static constexpr int kLeft = 281;
    static constexpr int kTop = 173;

    // Creates the dialog hidden, filled from the profile file at `profilePath`; null when the
    // window cannot be made. `context` must outlive the dialog.
    static std::unique_ptr<SettingsFrm> Create(const WindowContext& context, std::string profilePath,
                                               MainWindowHooks hooks);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit SettingsFrm(RunKeyRegistry& registry) : registry_(registry) {}
    void ShowDelay();
    void Apply();

    RunKeyRegistry& registry_;
    std::string profilePath_;
    MainWindowHooks hooks_;
    std::int32_t delay_ = 0;
};

}  // namespace zapnix
