#pragma once
// Registering the program to start with Windows: one Run value named after the executable whose data
// is the executable's full path.

#include <string>
#include <string_view>

#include "platform/RunKeyRegistry.h"

namespace zapnix {

struct RunEntry {
    std::string name;  // the executable's file name without its extension
    std::string data;  // folder + "\" + name + ".exe", in double quotes when it holds a space
};

// The entry for the executable at `executablePath` (a full Windows path).
RunEntry RunEntryFor(std::string_view executablePath);

// Writes the value for every user of the computer, or where the system refuses that, for the current
// user. False when neither could be written.
bool RegisterRunEntry(RunKeyRegistry& registry, const RunEntry& entry);
// Deletes the value from both roots; false when it is still in either.
bool UnregisterRunEntry(RunKeyRegistry& registry, const std::string& name);

}  // namespace zapnix
