#pragma once
// Whole-file reads and atomic replacement. The replacement writes a temporary file in the same folder,
// flushes it to the disk and renames it over the target, so that a crash or power loss leaves either
// the old file or the new one, never a part of one.

#include <string>
#include <string_view>

namespace zapnix {

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes);
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace zapnix
