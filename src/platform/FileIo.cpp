#include "platform/FileIo.h"

#include <random>

namespace zapnix {

std::string_view WhyUnreadable(ReadStatus status) {
    switch (status) {
        case ReadStatus::NotRegular:
            return "it is a folder or a device, not a file";
        case ReadStatus::Locked:
            return "another program is using the file";
        case ReadStatus::Denied:
            return "Zapnix is not allowed to read it";
        default:
            return "the system could not read it";
    }
}

std::uint32_t FileReplacement::RandomSalt() {
    return std::random_device{}();
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1));
}

bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
    FileReplacement replacement(path);
    for (const std::string_view piece : pieces)
        if (!replacement.Write(piece)) return false;
    return replacement.Commit();
}

std::string TemporaryPathFor(const std::string& path, std::uint32_t salt) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = "~zx";
    for (int shift = 28; shift >= 0; shift -= 4) name += kDigits[(salt >> shift) & 0xF];
    name += ".tmp";
    const std::size_t folderEnd = path.find_last_of("\\/") + 1;  // 0 when there is no folder
    const std::size_t targetName = path.size() - folderEnd;
    if (folderEnd + name.size() > kLongestPath && name.size() > targetName)
        name.resize(targetName > 4 ? targetName : 4);
    return path.substr(0, folderEnd) + name;
}

}  // namespace zapnix
