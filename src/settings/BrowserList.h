#pragma once
// The Chromium-family browsers, as the user may name them in the profile file without a rebuild:
// "Browsers" in the "Settings" section, a comma-separated list of executable file names. The program
// reads the key at start-up and never writes it.

#include <string>
#include <string_view>
#include <vector>

#include "profile/IniDocument.h"

namespace zapnix {

inline constexpr char kBrowsersKey[] = "Browsers";

// The names between the commas, blanks around each removed; empty names are dropped.
std::vector<std::string> ParseBrowserList(std::string_view value);

// The user's list when the key is there, even empty (then no program counts as a Chromium-family
// browser); the built-in list when it is missing. The value is read as every profile value is, cut at 259
// characters.
std::vector<std::string> ReadBrowserList(const IniDocument& profile);

}  // namespace zapnix
