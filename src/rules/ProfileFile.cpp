#include "rules/ProfileFile.h"

#include <utility>

#include "platform/FileIo.h"

namespace zapnix {

std::string NumberedKey(std::string_view prefix, std::size_t row) {
    std::string key(prefix);
    key += std::to_string(row);
    return key;
}

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key) {
    // An unreadable file reads as an empty one, as it does through the profile functions.
    const std::optional<IniDocument> document = LoadIniFile(path);
    return document ? document->ReadString(section, key) : std::string();
}

std::int32_t ReadIniNumber(const std::string& path, std::string_view section, std::string_view key) {
    const std::optional<IniDocument> document = LoadIniFile(path);
    return document ? static_cast<std::int32_t>(document->ReadNumber(section, key)) : 0;
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    std::optional<IniDocument> document = LoadIniFile(path);
    if (!document) {
        return false;
    }
    document->WriteString(section, key, value);
    return SaveIniFile(path, *document);
}

std::optional<IniDocument> LoadIniFile(const std::string& path) {
    std::string bytes;
    switch (ReadWholeFile(path, bytes)) {
        case ReadStatus::Ok:
            return IniDocument::Parse(bytes);
        case ReadStatus::Missing:
            return IniDocument();
        case ReadStatus::Failed:
            break;
    }
    return std::nullopt;
}

bool SaveIniFile(const std::string& path, const IniDocument& document) {
    return ReplaceFileAtomically(path, document.Serialize());
}

}  // namespace zapnix
