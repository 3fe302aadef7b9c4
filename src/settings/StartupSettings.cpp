#include "settings/StartupSettings.h"

namespace zapnix {

std::optional<std::uint32_t> CheckPeriodMs(std::int32_t intervalSeconds) {
    if (intervalSeconds <= 0) return std::nullopt;
    const std::int64_t ms = static_cast<std::int64_t>(intervalSeconds) * 1000;
    if (ms > kLongestTimerPeriodMs) return kLongestTimerPeriodMs;
    return static_cast<std::uint32_t>(ms);
}

StartupSettings ReadStartupSettings(const IniDocument& profile) {
    const auto number = [&](const char* key) {
        return static_cast<std::int32_t>(profile.ReadNumber(kSettingsSection, key));
    };
    StartupSettings settings;
    settings.startHidden = number("Minimized") == 1;
    if (number("Enabled") == 1) settings.checkPeriodMs = CheckPeriodMs(number("Interval"));
    return settings;
}

}  // namespace zapnix
