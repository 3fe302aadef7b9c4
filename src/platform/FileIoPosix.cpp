#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace zapnix {

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const noexcept { return fd_; }
    bool Valid() const noexcept { return fd_ >= 0; }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that a link at `path` names, so that a save replaces that file and the link stays; `path`
// itself when it is no link or names nothing.
std::string LinkTarget(const std::string& path) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISLNK(named.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Whether this user may replace the file at `path` (which exists): a regular file that it can open for
// writing. Renaming over a file needs only the folder's permission, so the file's own must be asked;
// and a file whose write bits are all clear is read-only even to root, as the read-only attribute is
// on Windows.
bool MayReplace(const std::string& path, const struct stat& existing) {
    if (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    UniqueFd probe(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    return probe.Valid();
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::size_t limit) {
    bytes.clear();
    // Non-blocking: opening a named pipe for reading would otherwise wait for a writer forever.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR) return ReadStatus::Missing;
        if (errno == EACCES || errno == EPERM) return ReadStatus::Denied;
        return errno == ENXIO ? ReadStatus::NotRegular : ReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return ReadStatus::Failed;
    if (!S_ISREG(info.st_mode)) return ReadStatus::NotRegular;
    // A file is read in one piece of its size: a string grown piece by piece would copy a large file over
    // and over. One byte more than the size sees the end at once; a file that grew meanwhile is read on.
    std::size_t wanted = static_cast<std::size_t>(info.st_size) + 1;
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        const std::size_t piece = std::min(wanted, limit - at);
        bytes.resize(at + piece);
        const ssize_t got = ::read(fd.Get(), bytes.data() + at, piece);
        if (got < 0) {
            bytes.resize(at);
            if (errno == EINTR) continue;
            bytes.clear();
            return ReadStatus::Failed;
        }
        bytes.resize(at + static_cast<std::size_t>(got));
        if (got == 0) break;
        wanted = 65536;
    }
    return ReadStatus::Ok;
}

FileReplacement::FileReplacement(const std::string& path, SaltSource nextSalt) : target_(LinkTarget(path)) {
    struct stat existing {};
    existed_ = ::stat(target_.c_str(), &existing) == 0;
    if (existed_ && !MayReplace(target_, existing)) return;
    mode_ = existed_ ? existing.st_mode & 07777 : 0600;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = TemporaryPathFor(target_, nextSalt());
        // O_EXCL with O_NOFOLLOW: whatever already has that name (a file, a link, a pipe) is never opened.
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            file_ = fd;
            return;
        }
        if (errno != EEXIST) break;
    }
    temporary_.clear();
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (!Started()) return;
    ::close(static_cast<int>(file_));
    ::unlink(temporary_.c_str());
    file_ = kNoFile;
}

bool FileReplacement::Write(std::string_view bytes) {
    if (!Started() || failed_) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(static_cast<int>(file_), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failed_ = true;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool FileReplacement::Commit() {
    const int fd = static_cast<int>(file_);
    if (!Started() || failed_ || ::fchmod(fd, mode_) != 0 || ::fsync(fd) != 0 ||
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    file_ = kNoFile;
    // close() can report a failed delayed write; the rename is done by then and cannot be taken back.
    const bool closed = ::close(fd) == 0;
    // The rename itself lives in the folder: flush that too so that it survives a power loss.
    UniqueFd folder(::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) ::fsync(folder.Get());
    return closed;
}

}  // namespace zapnix
