#pragma once
// Whole-file reads and atomic replacement. A replacement writes its bytes into a new file of its own
// beside the target, flushes it to the disk and renames it over the target, so that a crash or power
// loss leaves either the old file or the new one, never a part of one.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zapnix {

enum class ReadStatus {
    Ok,
    Missing,     // no file (or no folder) of that name
    NotRegular,  // a folder, pipe or device: opening one must not block, and reading it would mean nothing
    Locked,      // another program holds the file open and lets nobody read it
    Denied,      // this user may not read it
    Failed,      // anything else on the way
};

// At most `limit` bytes: the start of a file is enough to tell its encoding.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::size_t limit = SIZE_MAX);
// Why a file could not be read, as a user is told: "it is a folder or a device, not a file".
std::string_view WhyUnreadable(ReadStatus status);

// A new version of the file at `path`, written piece by piece and put in place by Commit in one step.
// A link at `path` stays a link: the file it names is replaced. The new bytes go to a file that this
// replacement creates (never one that exists, so that nothing planted under the temporary name can be
// written through) and that it removes again unless Commit moved it into place.
class FileReplacement {
public:
    // `nextSalt` picks the temporary name (see TemporaryPathFor); tests choose names that are taken.
    using SaltSource = std::uint32_t (*)();
    static std::uint32_t RandomSalt();

    explicit FileReplacement(const std::string& path, SaltSource nextSalt = RandomSalt);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False when the replacement could not begin: the target is no regular file, this user may not
    // write it, or no new file could be made beside it. Write and Commit then fail.
    bool Started() const { return file_ != kNoFile; }
    bool Write(std::string_view bytes);
    // Flushes the new bytes and moves them over the target. False when anything failed on the way: the
    // target is then as it was, and the new file gone.
    bool Commit();

private:
    static constexpr std::intptr_t kNoFile = -1;
    void Discard();

    std::string target_;     // the file to replace: `path`, or the file a link there names
    std::string temporary_;  // the new file, made by this replacement
    std::intptr_t file_ = kNoFile;
    bool existed_ = false;
    bool failed_ = false;
    // What goes over to the new file: the target's permission bits (POSIX) or attributes (Windows), and
    // when it was made (Windows).
    std::uint32_t mode_ = 0;
    std::uint64_t created_ = 0;
};

// False, the target as it was, when it is not a regular file, this user may not write it, or anything
// on the way fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
// The same with the new bytes given as pieces written one after the other, so that a caller whose bytes
// stand in a few large buffers need not join them first.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces);

// The longest path the ANSI file functions take (MAX_PATH less its terminating zero).
inline constexpr std::size_t kLongestPath = 259;

// A temporary name beside `path` for one save: "~zx", eight hex digits of `salt` and ".tmp", a name that
// no user file will have. Where that would make the path longer than both the target's path and the
// longest path, the name is cut to the target's own name's length (at least "~zx" and one digit), so
// that every file that can be read can be saved.
std::string TemporaryPathFor(const std::string& path, std::uint32_t salt);

}  // namespace zapnix
