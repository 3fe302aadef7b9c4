#pragma once
// Whole-file reads and atomic replacement. The replacement writes a temporary file in the same folder,
// flushes it to the disk and renames it over the target, so that a crash or power loss leaves either
// the old file or the new one, never a part of one.

#include <span>
#include <string>
#include <string_view>

namespace zapnix {

// NotRegular: a folder, pipe or device. Opening one must not block, and reading it would mean nothing.
enum class ReadStatus { Ok, Missing, Failed, NotRegular };

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes);
// False, the target as it was, when it is not a regular file, this user may not write it, or anything
// on the way fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
// The same with the new bytes given as pieces written one after the other, so that a caller whose bytes
// stand in a few large buffers need not join them first.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces);

// The one temporary name a save of `path` writes before renaming: the target's name with its last
// character replaced by '~' ("quorb.ini" gives "quorb.in~"). No longer than the target's own path, so
// every file that can be read can be saved, however close its path is to the system's limit; and the
// same for every save, so that a save reuses, and so removes, what a save killed half-way left behind.
// Writers of one target take turns on it (a lock), never sharing it.
inline std::string TemporaryPathFor(const std::string& path) {
    std::string temp = path;
    if (!temp.empty()) temp.back() = temp.back() == '~' ? '#' : '~';
    return temp;
}

}  // namespace zapnix
