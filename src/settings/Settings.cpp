#include "settings/Settings.h"

#include <string>

namespace zapnix {

Settings ReadSettings(const IniDocument& profile) {
    const auto number = [&](const char* key) {
        return static_cast<std::int32_t>(profile.ReadNumber(kSettingsSection, key));
    };
    Settings settings;
    settings.interval = number("Interval");
    settings.minimized = number("Minimized") == 1;
    settings.startup = number("Startup") == 1;
    settings.enabled = number("Enabled") == 1;
    return settings;
}

void WriteSettings(IniDocument& profile, const Settings& settings) {
    const auto flag = [](bool on) { return on ? "1" : "0"; };
    profile.WriteString(kSettingsSection, "Interval", std::to_string(settings.interval));
    profile.WriteString(kSettingsSection, "Minimized", flag(settings.minimized));
    profile.WriteString(kSettingsSection, "Startup", flag(settings.startup));
    profile.WriteString(kSettingsSection, "Enabled", flag(settings.enabled));
}

std::optional<std::uint32_t> CheckPeriodMs(std::int32_t intervalSeconds) {
    if (intervalSeconds <= 0) return std::nullopt;
    const std::int64_t ms = static_cast<std::int64_t>(intervalSeconds) * 1000;
    if (ms > kLongestTimerPeriodMs) return kLongestTimerPeriodMs;
    return static_cast<std::uint32_t>(ms);
}

std::optional<std::uint32_t> CheckPeriodOf(const Settings& settings) {
    return settings.enabled ? CheckPeriodMs(settings.interval) : std::nullopt;
}

}  // namespace zapnix
