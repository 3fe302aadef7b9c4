#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace zapnix {

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const noexcept { return fd_; }
    bool Valid() const noexcept { return fd_ >= 0; }
    // close() can report a failed delayed write, so a writer wants to see its result.
    bool Close() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteAll(int fd, std::span<const std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
        if (!WriteAll(fd, piece)) {
            return false;
        }
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the temporary file of `path` for this writer alone, empty. The name is fixed, so it is locked;
// a writer that got the lock after another renamed the file away holds a stale inode and starts over.
// Nothing but a plain file of our own is ever written through that name: a link planted there (to
// make us truncate another file) or a pipe is removed instead.
UniqueFd OpenTemporary(const std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        UniqueFd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        if (!fd.Valid()) {
            if (errno != ELOOP && errno != ENXIO && errno != EISDIR && errno != EACCES) return fd;
            if (::unlink(tempPath.c_str()) != 0) return UniqueFd(-1);
            continue;
        }
        struct stat opened {};
        struct stat named {};
        if (::flock(fd.Get(), LOCK_EX) != 0 || ::fstat(fd.Get(), &opened) != 0) return UniqueFd(-1);
        if (::lstat(tempPath.c_str(), &named) != 0 || !SameFile(opened, named)) continue;
        if (!S_ISREG(opened.st_mode) || opened.st_nlink != 1) {
            ::unlink(tempPath.c_str());
            continue;
        }
        if (::ftruncate(fd.Get(), 0) != 0) return UniqueFd(-1);
        return fd;
    }
    return UniqueFd(-1);
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

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking: opening a named pipe for reading would otherwise wait for a writer forever.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return ReadStatus::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStatus::NotRegular;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got == 0) {
            return ReadStatus::Ok;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            bytes.clear();
            return ReadStatus::Failed;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1));
}

bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !MayReplace(path, existing)) {
        return false;
    }

    const std::string tempPath = TemporaryPathFor(path);
    UniqueFd fd = OpenTemporary(tempPath);
    if (!fd.Valid()) {
        return false;
    }
    const bool written = (!exists || ::fchmod(fd.Get(), existing.st_mode & 07777) == 0) && WriteAll(fd.Get(), pieces) &&
                         ::fsync(fd.Get()) == 0;
    // Renamed while still locked: a writer waiting for the lock then finds the name gone and starts over.
    if (!written || ::rename(tempPath.c_str(), path.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    if (!fd.Close()) {
        return false;
    }
    // The rename itself lives in the folder: flush that too so that it survives a power loss.
    UniqueFd folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        ::fsync(folder.Get());
    }
    return true;
}

}  // namespace zapnix
