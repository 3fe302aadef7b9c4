#pragma once
// The system's Run keys, where a program is registered to start when the user logs on, as a port: the
// settings logic is written against it, the Win32 adapter is the only code that calls the registry.

#include <string>

namespace zapnix {

// The Run key's path below either root.
inline constexpr char kRunSubkey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// LocalMachine: every user of the computer (HKEY_LOCAL_MACHINE); CurrentUser: the user who runs the
// program (HKEY_CURRENT_USER), writable without administrator rights.
enum class RegistryRoot { LocalMachine, CurrentUser };

class RunKeyRegistry {
public:
    virtual ~RunKeyRegistry() = default;
    // Writes the string value `name` = `data` under the root's Run key, creating the key if needed;
    // false when the system refused.
    virtual bool SetRunValue(RegistryRoot root, const std::string& name, const std::string& data) = 0;
    // Removes the value; true when it is not there afterwards, also when it never was.
    virtual bool DeleteRunValue(RegistryRoot root, const std::string& name) = 0;
};

}  // namespace zapnix
