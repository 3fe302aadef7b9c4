#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary name beside the target: the rename must not cross file systems.
UniqueFd CreateTemporary(const std::string& path, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        UniqueFd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.Valid() || errno != EEXIST) {
            return fd;
        }
    }
    return UniqueFd(-1);
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return ReadStatus::Failed;
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
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    // A file without write permission is read-only to the user even where rename could replace it
    // (and root could write it): respect that, as Windows does with its read-only attribute.
    if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
        return false;
    }

    std::string tempPath;
    UniqueFd fd = CreateTemporary(path, tempPath);
    if (!fd.Valid()) {
        return false;
    }
    const bool written = (!exists || ::fchmod(fd.Get(), existing.st_mode & 07777) == 0) && WriteAll(fd.Get(), bytes) &&
                         ::fsync(fd.Get()) == 0;
    if (!fd.Close() || !written || ::rename(tempPath.c_str(), path.c_str()) != 0) {
        ::unlink(tempPath.c_str());
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
