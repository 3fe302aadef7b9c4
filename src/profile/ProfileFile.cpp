#include "profile/ProfileFile.h"

#include <utility>
#include <vector>

#include "platform/FileIo.h"

namespace zapnix {

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key) {
    // An unreadable file reads as an empty one, as it does through the profile functions.
    return LoadIniFileWithState(path).document.ReadString(section, key);
}

std::int32_t ReadIniNumber(const std::string& path, std::string_view section, std::string_view key) {
    return static_cast<std::int32_t>(LoadIniFileWithState(path).document.ReadNumber(section, key));
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    return UpdateIniFile(path, [&](IniDocument& document) { document.WriteString(section, key, value); });
}

LoadedIni LoadIniFileWithState(const std::string& path) {
    LoadedIni loaded;
    std::string bytes;
    switch (ReadWholeFile(path, bytes)) {
        case ReadStatus::Ok:
            if (bytes.size() > IniDocument::kMaxBytes) {
                loaded.state = FileState::Unreadable;
                break;
            }
            loaded.state = FileState::Ok;
            loaded.document = IniDocument::Parse(std::move(bytes));
            break;
        case ReadStatus::Missing:
            loaded.state = FileState::Missing;
            break;
        case ReadStatus::Failed:
        case ReadStatus::NotRegular:
            loaded.state = FileState::Unreadable;
            break;
    }
    return loaded;
}

std::optional<IniDocument> LoadIniFile(const std::string& path) {
    LoadedIni loaded = LoadIniFileWithState(path);
    if (loaded.state == FileState::Unreadable) return std::nullopt;
    return std::move(loaded.document);
}

bool SaveIniFile(const std::string& path, const IniDocument& document) {
    // The unchanged runs of the file go out as they stand in the document, with no copy of them; but a
    // file changed here and there would go out in many small writes, so such runs are joined first.
    constexpr std::size_t kMostRuns = 64;
    const std::vector<std::string_view> runs = document.Runs();
    if (runs.size() > kMostRuns) return ReplaceFileAtomically(path, document.Serialize());
    return ReplaceFileAtomically(path, runs);
}

bool UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change) {
    std::optional<IniDocument> document = LoadIniFile(path);
    if (!document) return false;
    change(*document);
    return SaveIniFile(path, *document);
}

}  // namespace zapnix
