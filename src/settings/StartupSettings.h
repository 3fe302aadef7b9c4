#pragma once
// What start-up takes from the "Settings" section of the profile file.

#include <cstdint>
#include <optional>

#include "profile/IniDocument.h"
#include "settings/Settings.h"

namespace zapnix {

struct StartupSettings {
    bool startHidden = false;                    // "Minimized" is exactly 1
    std::optional<std::uint32_t> checkPeriodMs;  // armed only when "Enabled" is exactly 1
};

StartupSettings ReadStartupSettings(const IniDocument& profile);

}  // namespace zapnix
