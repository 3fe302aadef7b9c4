#include "platform/FileIo.h"

#include <windows.h>

#include "platform/Handles.h"

#include <utility>

namespace zapnix {

namespace {

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

bool WriteAll(HANDLE file, std::span<const std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
        if (!WriteAll(file, piece)) {
            return false;
        }
    }
    return true;
}

// The temporary file of `path`, empty and open for this writer alone: no sharing, so a second writer
// of the same target waits here for its turn, while one that a killed save left behind (nobody holds
// it open) is simply reused.
UniqueHandle OpenTemporary(const std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        UniqueHandle file(
            ::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (file.Valid()) {
            return file;
        }
        if (error == ERROR_ACCESS_DENIED) {
            // CREATE_ALWAYS refuses an existing hidden, system or read-only file: not one of ours to
            // keep, only a name to reuse.
            const DWORD attributes = ::GetFileAttributesA(tempPath.c_str());
            constexpr DWORD kRefused = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
                (attributes & kRefused) == 0 || !::SetFileAttributesA(tempPath.c_str(), FILE_ATTRIBUTE_NORMAL)) {
                return file;
            }
            continue;
        }
        if (error != ERROR_SHARING_VIOLATION) {
            return file;
        }
        ::Sleep(20);
    }
    return UniqueHandle(INVALID_HANDLE_VALUE);
}

// Whether this user may replace the existing file at `path`: a disk file (not a folder, pipe or
// device) that it can open for writing. Asking the file itself covers its read-only attribute and its
// access list alike; the folder's permission, which a rename needs, says nothing about either.
bool MayReplace(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && ::GetFileType(file.Get()) == FILE_TYPE_DISK;
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
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return ReadStatus::NotRegular;  // a device (NUL, CON, COM1) or a pipe: reading it could block
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
    return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1));
}

bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // MoveFileEx and ReplaceFile refuse a read-only file on Windows but not everywhere; decide it here so
    // that the user's read-only flag always protects the file.
    if (exists && ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0 || !MayReplace(path))) {
        return false;
    }

    const std::string tempPath = TemporaryPathFor(path);
    UniqueHandle file = OpenTemporary(tempPath);
    if (!file.Valid()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), pieces) && ::FlushFileBuffers(file.Get());
    const bool complete = file.Close() && written;
    bool replaced = false;
    if (complete) {
        // ReplaceFile keeps what belongs to the file rather than to its bytes: attributes (hidden,
        // system), access list, creation time, identity. A failure to carry those over is no reason to
        // lose the save. A file that vanished meanwhile is created, never one that appeared meanwhile
        // overwritten. Without a backup name ReplaceFile can fail after the old file is gone
        // (ERROR_UNABLE_TO_MOVE_REPLACEMENT): the new bytes then still have to be moved into place.
        replaced = exists && ::ReplaceFileA(path.c_str(), tempPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                            nullptr, nullptr) != FALSE;
        const DWORD error = replaced ? ERROR_SUCCESS : ::GetLastError();
        if (!replaced && (!exists || error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT)) {
            replaced = ::MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
        }
    }
    // The temporary file goes unless it holds the only copy of the data: complete, with no file left
    // under the real name.
    if (!replaced && (!complete || ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES || !exists)) {
        ::DeleteFileA(tempPath.c_str());
    }
    return replaced;
}

}  // namespace zapnix
