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

    // The file first: a save that fails then leaves the registration as it was, rather than changed under
    // a tick that the dialog no longer shows.
    LoadedIni profile = LoadIniFileWithState(profilePath);
    if (profile.state == FileState::Unreadable) {
        applied.profile = ProfileSave::Unreadable;
        return applied;
    }
    WriteSettings(profile.document, chosen);
    if (!SaveIniFile(profilePath, profile)) {
        applied.profile = ProfileSave::NotWritten;
        return applied;
    }

    if (chosen.startup ? RegisterRunEntry(registry, entry) : UnregisterRunEntry(registry, entry.name)) return applied;
    applied.registrationFailed = true;
    // The stored box tells what the system will do at the next log-on.
    applied.stored.startup = !chosen.startup;
    WriteSettings(profile.document, applied.stored);
    if (!SaveIniFile(profilePath, profile)) applied.profile = ProfileSave::StartupNotStored;
    return applied;
}

AppliedMessage MessageFor(const AppliedSettings& applied, const std::string& profilePath) {
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : "\r\n\r\n") + part; };
    if (applied.registrationFailed) {
        const bool started = applied.stored.startup;  // by Windows at the next log-on
        std::string part = started ? "Zapnix could not be removed from the programs that start with Windows: the "
                                     "system refused to delete its Run value."
                                   : "Zapnix could not be registered to start with Windows: the system refused to "
                                     "write its Run value.";
        if (applied.profile == ProfileSave::StartupNotStored)
            part += std::string(" \"Enabled at system startup:\" is stored ") + (started ? "unticked" : "ticked") +
                    " all the same: " + profilePath + " could not be written again to " +
                    (started ? "tick" : "untick") + " it.";
        else
            part += started ? " \"Enabled at system startup:\" stays ticked."
                            : " \"Enabled at system startup:\" has been stored unticked.";
        add(part);
    }
    if (applied.profile == ProfileSave::Unreadable)
        add("The settings could not be saved: " + profilePath +
            " could not be read and has been left as it was, and so has starting with Windows. The new delay and "
            "killer switch are in effect until Zapnix ends.");
    else if (applied.profile == ProfileSave::NotWritten)
        add("The settings could not be saved to " + profilePath +
            ", and starting with Windows has been left as it was. The new delay and killer switch are in effect "
            "until Zapnix ends.");
    if (text.empty()) return {false, "All setings have been updated successfully!"};
    return {true, text};
}

}  // namespace zapnix
