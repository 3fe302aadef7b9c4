#pragma once
// The three profile-file operations every file access of the program goes through, plus a batch form
// (load once, apply many writes, replace the file once) that yields the same bytes as the writes done
// one at a time, and the numbered-row layout that the rule list and the kill log share.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "profile/IniDocument.h"

namespace zapnix {

// The key of entry `row` (1-based) of a numbered list: the prefix followed directly by the digits,
// without leading zeros ("Title   " and 12 give "Title   12").
std::string NumberedKey(std::string_view prefix, std::size_t row);

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key);
std::int32_t ReadIniNumber(const std::string& path, std::string_view section, std::string_view key);
// False when the file could not be written; the file is then as it was before.
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

// What a load found. Unreadable (locked, no permission, not a regular file) is not the same as
// Missing: data that could not be read must never be written over as if there were none.
enum class FileState { Missing, Ok, Unreadable };

struct LoadedIni {
    FileState state = FileState::Missing;
    IniDocument document;  // empty unless state is Ok
};

LoadedIni LoadIniFileWithState(const std::string& path);
// A missing file loads as an empty document; nullopt when the file exists but cannot be read.
std::optional<IniDocument> LoadIniFile(const std::string& path);
// Replaces the file atomically with the document's bytes; false on failure (the old file stays).
bool SaveIniFile(const std::string& path, const IniDocument& document);
// Load, change, replace: the document is the file as it is now (empty when missing), so that every
// byte the change does not touch stays. Refuses, writing nothing, when the file exists but cannot be
// read. False when nothing was written.
bool UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change);

// A numbered list: "Total" in `section`, then for row i (from 1) one key per prefix, prefix + i.
//
// The rows read are "Total" read as a signed number (below 1: none), but never more than the document
// has lines holding an "=": a row beyond that cannot have a single stored key, so a damaged "Total"
// (2147483647) costs no more time or memory than the file's own size. A "Total" a little above the
// stored rows still gives its empty rows, as the profile functions would.
//
// `onRow` gets the cells of each row in prefix order, to move from.
void ReadNumberedRows(const IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                      const std::function<void(std::span<std::string> cells)>& onRow);
// Writes "Total" = count, then row by row the keys in prefix order; `cell(row, column)` is 0-based.
// Keys of rows above count stay as they were.
void WriteNumberedRows(IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                       std::size_t count,
                       const std::function<std::string_view(std::size_t row, std::size_t column)>& cell);

}  // namespace zapnix
