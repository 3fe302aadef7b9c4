#include "platform/FileIo.h"

#include <windows.h>

#include <atomic>
#include <utility>

namespace zapnix {

namespace {

class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    UniqueHandle& operator=(UniqueHandle&&) = delete;
    ~UniqueHandle() {
        if (Valid()) {
            ::CloseHandle(handle_);
        }
    }
    HANDLE Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool Close() noexcept {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A temporary name beside the target: MoveFileEx replaces atomically only within one volume.
UniqueHandle CreateTemporary(const std::string& path, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".~" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp";
        UniqueHandle file(
            ::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid() || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return UniqueHandle(INVALID_HANDLE_VALUE);
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Share everything: another program (an editor, a virus scanner) may hold the file open.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadStatus::Missing
                                                                                : ReadStatus::Failed;
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            bytes.clear();
            return ReadStatus::Failed;
        }
        if (got == 0) {
            return ReadStatus::Ok;
        }
        bytes.append(buffer, got);
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    // MoveFileEx refuses to replace a read-only file on Windows but not everywhere; decide it here so
    // that the user's read-only flag always protects the file.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }

    std::string tempPath;
    UniqueHandle file = CreateTemporary(path, tempPath);
    if (!file.Valid()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
    if (!file.Close() || !written ||
        !::MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(tempPath.c_str());
        return false;
    }
    return true;
}

}  // namespace zapnix
