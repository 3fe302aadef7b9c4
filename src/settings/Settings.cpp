#include "settings/Settings.h"

#include <algorithm>
#include <string>

namespace zapnix {
namespace {

// The leading digits after an optional sign, as the profile functions read a number, but saturating at
// the longest delay instead of wrapping modulo 2^32: "4294967297" must not become 1 second.
std::int32_t ReadIntervalSeconds(const IniDocument& profile) {
    const std::string text = profile.ReadString(kSettingsSection, "Interval");
    if (text.starts_with('-')) return 0;
    std::int32_t seconds = 0;
    for (std::size_t at = text.starts_with('+') ? 1 : 0; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        seconds = std::min(seconds * 10 + (text[at] - '0'), kLongestIntervalSeconds);
    return seconds;
}

}  // namespace

Settings ReadSettings(const IniDocument& profile) {
    const auto number = [&](const char* key) {
        return static_cast<std::int32_t>(profile.ReadNumber(kSettingsSection, key));
    };
    Settings settings;
    settings.interval = ReadIntervalSeconds(profile);
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
