#include "settings/SettingsCommands.h"

#include "profile/ProfileFile.h"

namespace zapnix {

std::int32_t RaiseDelay(std::int32_t delay) {
    return delay < kLongestDelaySeconds ? delay + 1 : delay;
}

std::int32_t LowerDelay(std::int32_t delay) {
    return delay > 1 ? delay - 1 : delay;
}

std::optional<std::string> ApplyRefusal(const Settings& chosen) {
    if (chosen.enabled && chosen.interval < 1)
        return "Please set the popup check delay to at least 1 second before enabling the pop killer.";
    return std::nullopt;
}

AppliedSettings ApplySettings(const Settings& chosen, const std::string& profilePath, RunKeyRegistry& registry,
                              const RunEntry& entry) {
    AppliedSettings applied;
    applied.stored = chosen;
    applied.checkPeriodMs = CheckPeriodOf(chosen);

    const bool done = chosen.startup ? RegisterRunEntry(registry, entry) : UnregisterRunEntry(registry, entry.name);
    if (!done) {
        applied.registrationFailed = true;
        // The stored box tells what the system will do at the next log-on.
        applied.stored.startup = !chosen.startup;
    }

    std::optional<IniDocument> profile = LoadIniFile(profilePath);
    if (!profile) {
        applied.profile = ProfileSave::Unreadable;
        return applied;
    }
    WriteSettings(*profile, applied.stored);
    if (!SaveIniFile(profilePath, *profile)) applied.profile = ProfileSave::NotWritten;
    return applied;
}

AppliedMessage MessageFor(const AppliedSettings& applied, const std::string& profilePath) {
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : "\r\n\r\n") + part; };
    if (applied.registrationFailed) {
        add(applied.stored.startup
                ? "Zapnix could not be removed from the programs that start with Windows: the system refused to "
                  "delete its Run value. \"Enabled at system startup:\" stays ticked."
                : "Zapnix could not be registered to start with Windows: the system refused to write its Run "
                  "value. \"Enabled at system startup:\" has been stored unticked.");
    }
    if (applied.profile == ProfileSave::Unreadable)
        add("The settings could not be saved: " + profilePath +
            " could not be read and has been left as it was. The new delay and killer switch are in effect until "
            "Zapnix ends.");
    else if (applied.profile == ProfileSave::NotWritten)
        add("The settings could not be saved to " + profilePath +
            ". The new delay and killer switch are in effect until Zapnix ends.");
    if (text.empty()) return {false, "All setings have been updated successfully!"};
    return {true, text};
}

}  // namespace zapnix
