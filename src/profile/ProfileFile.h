#pragma once
// The three profile-file operations every file access of the program goes through, plus a batch form
// (load once, apply many writes, replace the file once) that yields the same bytes as the writes done
// one at a time. Only LoadIniFileWithState and SaveIniFile meet the file's bytes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "profile/IniDocument.h"

namespace zapnix {

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key);
std::int32_t ReadIniNumber(const std::string& path, std::string_view section, std::string_view key);
// False when the file could not be written; the file is then as it was before.
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

// What a load found. Unreadable (locked, no permission, not a regular file, an encoding the engine
// cannot read, 4 GB or more) is not the same as Missing: data that could not be read must never be
// written over as if there were none.
enum class FileState { Missing, Ok, Unreadable };

struct LoadedIni {
    FileState state = FileState::Missing;
    std::string_view why;  // why an Unreadable file could not be read, as the user is told
    IniDocument document;  // empty unless state is Ok
    bool unicode = false;  // the file is UTF-16, kept in `original` for the save to keep what it can
    std::string original;
};

LoadedIni LoadIniFileWithState(const std::string& path);
// A missing file loads as an empty document; nullopt when the file exists but cannot be read.
std::optional<IniDocument> LoadIniFile(const std::string& path);
// Replaces the file atomically with the document's bytes, in the encoding the file has; false on failure
// (the old file stays).
bool SaveIniFile(const std::string& path, const IniDocument& document);
// The same for a document as a load found it (and changed since), in the encoding that load found.
bool SaveIniFile(const std::string& path, const LoadedIni& loaded);
// Load, change, replace: the document is the file as it is now (empty when missing), so that every
// byte the change does not touch stays. Refuses, writing nothing, when the file exists but cannot be
// read. False when nothing was written.
bool UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change);

}  // namespace zapnix
