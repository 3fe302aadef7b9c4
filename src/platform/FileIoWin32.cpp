#include "platform/FileIo.h"

#include <windows.h>

#include <algorithm>
#include <utility>

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

// What a save needs to know of the file it replaces, from one look through one handle: the file that a
// link at `path` names (every path is asked, not only reparse points: Wine shows a Unix symbolic link as a
// plain file), whether this user may replace it, and what goes over to the new file.
struct Target {
    std::string path;  // `path`, or the file a link there names (unless its final path is too long)
    bool exists = false;
    bool mayReplace = false;
    BY_HANDLE_FILE_INFORMATION info{};
};

Target LookAt(const std::string& path) {
    Target target{path};
    // May replace: a disk file (not a folder, pipe or device) that this user can open for writing. Asking
    // the file itself covers its access list; the folder's permission, which a rename needs, says nothing
    // about it. A file held open by a program that shares no writing is not replaced either.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        target.exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return target;
    }
    target.exists = true;
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.Get(), &target.info))
        return target;
    // MoveFileEx refuses a read-only file on Windows but not everywhere, and root opens one for writing
    // under Wine: decided here, so that the user's read-only flag always protects the file.
    target.mayReplace = (target.info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
    char resolved[MAX_PATH + 8] = {};
    const DWORD length =
        ::GetFinalPathNameByHandleA(file.Get(), resolved, sizeof resolved, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof resolved) return target;
    std::string named(resolved, length);
    if (named.starts_with("\\\\?\\UNC\\"))
        named = "\\\\" + named.substr(8);
    else if (named.starts_with("\\\\?\\"))
        named.erase(0, 4);
    if (named.size() <= kLongestPath) target.path = std::move(named);
    return target;
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
        if (got < piece) break;  // a disk file reads short only at its end
        wanted = kReadPiece;
    }
    return ReadStatus::Ok;
}

FileReplacement::FileReplacement(const std::string& path, SaltSource nextSalt) {
    const Target target = LookAt(path);
    target_ = target.path;
    existed_ = target.exists;
    if (existed_ && !target.mayReplace) return;
    // What belongs to the file rather than to its bytes goes over to the new one: its attributes (hidden,
    // system) and when it was made.
    mode_ = target.info.dwFileAttributes;
    created_ = (std::uint64_t{target.info.ftCreationTime.dwHighDateTime} << 32) | target.info.ftCreationTime.dwLowDateTime;
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
    if (existed_) {
        FILE_BASIC_INFO basic{};  // the times left at 0 stay as they are
        basic.CreationTime.QuadPart = static_cast<LONGLONG>(created_);
        basic.FileAttributes = mode_ != 0 ? mode_ : FILE_ATTRIBUTE_NORMAL;
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
