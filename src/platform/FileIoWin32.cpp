#include "platform/FileIo.h"

#include <windows.h>

#include <algorithm>

#include "platform/Handles.h"

namespace zapnix {

namespace {

constexpr std::size_t kReadPiece = 65536;
constexpr std::size_t kLargestPiece = 0x10000000;  // what one ReadFile or WriteFile call is asked for at most

HANDLE AsHandle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

ReadStatus StatusOfFailedOpen(const std::string& path) {
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ReadStatus::Missing;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ReadStatus::Locked;
        case ERROR_ACCESS_DENIED: {
            // Opening a folder as a file is refused as if it were a matter of rights.
            const DWORD attributes = ::GetFileAttributesA(path.c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            return folder ? ReadStatus::NotRegular : ReadStatus::Denied;
        }
        default:
            return ReadStatus::Failed;
    }
}

// The file that a link at `path` names, so that a save replaces that file and the link stays; `path`
// itself when no file is there, or its final path is longer than the ANSI functions take. Every path
// is asked, not only reparse points: Wine shows a Unix symbolic link as a plain file.
std::string LinkTarget(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    char resolved[MAX_PATH + 8] = {};
    const DWORD length = file.Valid() ? ::GetFinalPathNameByHandleA(file.Get(), resolved, sizeof resolved,
                                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)
                                      : 0;
    if (length == 0 || length >= sizeof resolved) return path;
    std::string target(resolved, length);
    if (target.starts_with("\\\\?\\UNC\\"))
        target = "\\\\" + target.substr(8);
    else if (target.starts_with("\\\\?\\"))
        target.erase(0, 4);
    return target.size() <= kLongestPath ? target : path;
}

// Whether this user may replace the existing file at `path`: a disk file (not a folder, pipe or
// device) that it can open for writing. Asking the file itself covers its read-only attribute and its
// access list alike; the folder's permission, which a rename needs, says nothing about either.
bool MayReplace(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    // MoveFileEx and ReplaceFile refuse a read-only file on Windows but not everywhere: decided here so
    // that the user's read-only flag always protects the file.
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && ::GetFileType(file.Get()) == FILE_TYPE_DISK;
}

// Until the bytes are complete the new file is marked for deletion, so that even a save killed
// half-way leaves nothing behind: the system deletes it when the process's last handle goes.
bool DeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::size_t limit) {
    bytes.clear();
    // Share everything: another program (an editor, a virus scanner) may hold the file open.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return StatusOfFailedOpen(path);
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return ReadStatus::NotRegular;  // a device (NUL, CON, COM1) or a pipe: reading it could block
    }
    // A file is read in one piece of its size: a string grown piece by piece would copy a large file over
    // and over. One byte more than the size sees the end at once; a file that grew meanwhile is read on.
    LARGE_INTEGER size{};
    std::size_t wanted = kReadPiece;
    if (::GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0)
        wanted = static_cast<std::size_t>(std::min<ULONGLONG>(size.QuadPart, kLargestPiece)) + 1;
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        const std::size_t piece = std::min(wanted, limit - at);
        bytes.resize(at + piece);
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + at, static_cast<DWORD>(piece), &got, nullptr)) {
            bytes.clear();
            return ReadStatus::Failed;
        }
        bytes.resize(at + got);
        if (got == 0) break;
        wanted = kReadPiece;
    }
    return ReadStatus::Ok;
}

FileReplacement::FileReplacement(const std::string& path, SaltSource nextSalt) : target_(LinkTarget(path)) {
    existed_ = ::GetFileAttributesA(target_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed_ && !MayReplace(target_)) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = TemporaryPathFor(target_, nextSalt());
        // CREATE_NEW: whatever already has that name (a file, a link, a folder) is never opened.
        const HANDLE file = ::CreateFileA(temporary_.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            file_ = reinterpret_cast<std::intptr_t>(file);
            failed_ = !DeleteOnClose(file, true);
            return;
        }
        // Taken: try another name. A folder under the name is refused as if it were a matter of rights.
        const DWORD error = ::GetLastError();
        const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                           (error == ERROR_ACCESS_DENIED && ::GetFileAttributesA(temporary_.c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!taken) break;
    }
    temporary_.clear();
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    // Marked for deletion since it was made: closing it removes it.
    if (Started()) ::CloseHandle(AsHandle(file_));
    file_ = kNoFile;
}

bool FileReplacement::Write(std::string_view bytes) {
    if (!Started() || failed_) return false;
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
        DWORD written = 0;
        if (!::WriteFile(AsHandle(file_), bytes.data(), chunk, &written, nullptr) || written == 0) {
            failed_ = true;
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool FileReplacement::Commit() {
    if (!Started() || failed_) {
        Discard();
        return false;
    }
    const HANDLE file = AsHandle(file_);
    // What belongs to the file rather than to its bytes goes over to the new one: its attributes
    // (hidden, system) and when it was made.
    WIN32_FILE_ATTRIBUTE_DATA old{};
    if (existed_ && ::GetFileAttributesExA(target_.c_str(), GetFileExInfoStandard, &old)) {
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(old.ftCreationTime.dwHighDateTime);
        basic.FileAttributes = old.dwFileAttributes != 0 ? old.dwFileAttributes : FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
    }
    if (!::FlushFileBuffers(file) || !DeleteOnClose(file, false)) {
        Discard();
        return false;
    }
    file_ = kNoFile;
    // One rename puts the new bytes in place: a crash before it leaves the old file, after it the new
    // one. (ReplaceFile would carry the old file's access list over too, but takes several renames to
    // do it, and a crash between them leaves no file under the target's name.)
    const bool replaced = ::CloseHandle(file) && ::MoveFileExA(temporary_.c_str(), target_.c_str(),
                                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) ::DeleteFileA(temporary_.c_str());
    return replaced;
}

}  // namespace zapnix
