#pragma once
// The four settings of the "Settings" section of the profile file, as start-up and the Settings dialog
// both read them, and the one save that writes them.

#include <cstdint>
#include <optional>

#include "profile/IniDocument.h"

namespace zapnix {

inline constexpr char kSettingsSection[] = "Settings";

// Every key is read as a whole number: missing or not a number reads as 0, and a flag is on only when
// it is exactly 1 (after the profile functions' wrap-around: "4294967297" is 1). Flags are stored as the
// digits "1" and "0". The delay alone never wraps: a wrapped delay would turn a huge one into a short one.
struct Settings {
    std::int32_t interval = 0;  // "Interval": seconds between two checks for pop-ups
    bool minimized = false;     // "Minimized": start hidden in the tray
    bool startup = false;       // "Startup": registered to start with Windows (remembered for the dialog only)
    bool enabled = false;       // "Enabled": the pop-up killer runs
};

Settings ReadSettings(const IniDocument& profile);
// Writes "Interval", "Minimized", "Startup", "Enabled" in that order: keys missing from the file are
// appended in that order.
void WriteSettings(IniDocument& profile, const Settings& settings);

// The longest period the system's timer accepts (USER_TIMER_MAXIMUM), about 24.8 days.
inline constexpr std::uint32_t kLongestTimerPeriodMs = 0x7FFFFFFF;
// The longest "Interval" read from the file: a larger number reads as this one, a negative one as 0.
inline constexpr std::int32_t kLongestIntervalSeconds = kLongestTimerPeriodMs / 1000;

// The check timer's period for an "Interval" in seconds; nullopt when the timer must never fire.
// A period of 0 must not reach the system's timer, which would treat it as its shortest period.
std::optional<std::uint32_t> CheckPeriodMs(std::int32_t intervalSeconds);
// What the running check timer takes from these settings: nothing unless the killer is enabled.
std::optional<std::uint32_t> CheckPeriodOf(const Settings& settings);

}  // namespace zapnix
