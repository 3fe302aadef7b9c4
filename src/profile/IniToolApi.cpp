// The `ini --api` operations: the system's own profile functions, so that the engine's answers can be
// compared with them file for file.

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

namespace zapnix {

namespace {

// The profile functions look for a bare file name in the Windows folder, the engine in the current
// folder: a full path makes both mean the same file.
std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return (length == 0 || length >= MAX_PATH) ? path : std::string(buffer, length);
}

}  // namespace

std::string ApiReadString(const std::string& path, std::string_view section, std::string_view key) {
    char buffer[260] = {};
    const DWORD length = ::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), "", buffer,
                                                    sizeof buffer, FullPath(path).c_str());
    return std::string(buffer, length);
}

std::int32_t ApiReadNumber(const std::string& path, std::string_view section, std::string_view key) {
    return static_cast<std::int32_t>(
        ::GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(), 0, FullPath(path).c_str()));
}

bool ApiWriteString(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    const std::string fullPath = FullPath(path);
    if (!::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                      std::string(value).c_str(), fullPath.c_str())) {
        return false;
    }
    // Some implementations keep the file in a cache; a call with all NULLs writes it out now.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, fullPath.c_str());
    return true;
}

}  // namespace zapnix
