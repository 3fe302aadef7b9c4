#pragma once
// What the Settings dialog's buttons do, apart from the window: "+" and "-" on the delay, and "Apply",
// which saves the four settings at once, registers or unregisters the program and says how it went.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/RunKeyRegistry.h"
#include "settings/Settings.h"
#include "settings/StartWithSystem.h"

namespace zapnix {

// "+" stops here: 65 seconds make a period of 65,000 ms, within what any check timer accepts (the
// smallest limit among them is 65,535 ms). A longer delay stored by hand is kept as it is.
inline constexpr std::int32_t kLongestDelaySeconds = 65;

std::int32_t RaiseDelay(std::int32_t delay);  // "+"
std::int32_t LowerDelay(std::int32_t delay);  // "-": never below 1; a 0 stays 0

// The information text with which "Apply" refuses `chosen` and does nothing, or nullopt: an enabled
// killer needs a delay of at least 1 second, since with 0 no check would ever run.
std::optional<std::string> ApplyRefusal(const Settings& chosen);

// Unreadable and NotWritten: nothing was saved, and the registration was left as it was.
// StartupNotStored: the settings were saved, but after the registration failed, the save of the tick as
// the system has it failed: the file holds the tick as chosen.
enum class ProfileSave { Saved, Unreadable, NotWritten, StartupNotStored };

struct AppliedSettings {
    // As meant for the file: once the registration has been tried, "Startup" says whether the Run value is
    // there now.
    Settings stored;
    std::optional<std::uint32_t> checkPeriodMs;  // what the running check timer takes, saved or not
    bool registrationFailed = false;             // the Run value could not be written or removed
    ProfileSave profile = ProfileSave::Saved;
};

// Writes the four keys into the profile file in one save, then registers or unregisters `entry`; when
// that fails, saves "Startup" as the system has it. A file that exists but cannot be read is left alone.
AppliedSettings ApplySettings(const Settings& chosen, const std::string& profilePath, RunKeyRegistry& registry,
                              const RunEntry& entry);

struct AppliedMessage {
    bool error = false;  // an "Error:" box, else the information box
    std::string text;
};
AppliedMessage MessageFor(const AppliedSettings& applied, const std::string& profilePath);

}  // namespace zapnix
