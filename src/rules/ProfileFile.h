#pragma once
// The three profile-file operations every file access of the program goes through, plus a batch form
// (load once, apply many writes, replace the file once) that yields the same bytes as the writes done
// one at a time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/IniDocument.h"

namespace zapnix {

// The key of entry `row` (1-based) of a numbered list: the prefix followed directly by the digits,
// without leading zeros ("Title   " and 12 give "Title   12").
std::string NumberedKey(std::string_view prefix, std::size_t row);

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key);
std::int32_t ReadIniNumber(const std::string& path, std::string_view section, std::string_view key);
// False when the file could not be written; the file is then as it was before.
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

// A missing file loads as an empty document; nullopt when the file exists but cannot be read, so that
// a later save cannot overwrite data it never saw.
std::optional<IniDocument> LoadIniFile(const std::string& path);
// Replaces the file atomically with the document's bytes; false on failure (the old file stays).
bool SaveIniFile(const std::string& path, const IniDocument& document);

}  // namespace zapnix
