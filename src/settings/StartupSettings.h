#pragma once
// What start-up takes from the "Settings" section of the profile file.

#include <cstdint>
#include <optional>

#include "rules/IniDocument.h"

namespace zapnix {

inline constexpr char kSettingsSection[] = "Settings";

// The longest period the system's timer accepts (USER_TIMER_MAXIMUM), about 24.8 days.
inline constexpr std::uint32_t kLongestTimerPeriodMs = 0x7FFFFFFF;

struct StartupSettings {
    bool startHidden = false;                    // "Minimized" is exactly 1
    std::optional<std::uint32_t> checkPeriodMs;  // armed only when "Enabled" is exactly 1
};

// The check timer's period for an "Interval" in seconds; nullopt when the timer must never fire.
// A period of 0 must not reach the system's timer, which would treat it as its shortest period.
std::optional<std::uint32_t> CheckPeriodMs(std::int32_t intervalSeconds);

StartupSettings ReadStartupSettings(const IniDocument& profile);

}  // namespace zapnix
