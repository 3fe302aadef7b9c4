#include "settings/StartWithSystem.h"

namespace zapnix {

RunEntry RunEntryFor(std::string_view executablePath) {
    const std::size_t slash = executablePath.find_last_of("\\/");
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : executablePath.substr(0, slash);
    std::string_view name = slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string_view::npos) name = name.substr(0, dot);

    RunEntry entry{std::string(name), std::string(folder) + "\\" + std::string(name) + ".exe"};
    // Unquoted, "C:\Program Files\Zapnix.exe" would let the system start "C:\Program.exe" instead.
    if (entry.data.find(' ') != std::string::npos) entry.data = "\"" + entry.data + "\"";
    return entry;
}

bool RegisterRunEntry(RunKeyRegistry& registry, const RunEntry& entry) {
    // No name would make the Run key's default value: never the program's to write or delete.
    if (entry.name.empty()) return false;
    if (registry.SetRunValue(RegistryRoot::LocalMachine, entry.name, entry.data)) {
        // A value left for the current user by an earlier fallback would start a second copy at log-on.
        registry.DeleteRunValue(RegistryRoot::CurrentUser, entry.name);
        return true;
    }
    return registry.SetRunValue(RegistryRoot::CurrentUser, entry.name, entry.data);
}

bool UnregisterRunEntry(RunKeyRegistry& registry, const std::string& name) {
    if (name.empty()) return false;
    const bool machineClear = registry.DeleteRunValue(RegistryRoot::LocalMachine, name);
    const bool userClear = registry.DeleteRunValue(RegistryRoot::CurrentUser, name);
    return machineClear && userClear;
}

}  // namespace zapnix
