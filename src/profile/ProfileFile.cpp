#include "profile/ProfileFile.h"

#include <utility>
#include <vector>

#include "platform/FileIo.h"
#include "profile/ProfileEncoding.h"

namespace zapnix {
namespace {

constexpr std::string_view kUnsupportedEncoding =
    "it is in a text encoding that Zapnix cannot read (save it as ANSI or Unicode)";
// The engine's line records count in 32 bits.
constexpr std::string_view kTooLarge = "it is 4 GB or larger";

}  // namespace

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
    const ReadStatus read = ReadWholeFile(path, bytes);
    if (read == ReadStatus::Missing) return loaded;
    loaded.state = FileState::Unreadable;
    if (read != ReadStatus::Ok) {
        loaded.why = WhyUnreadable(read);
        return loaded;
    }
    // The text as the profile functions read it: a Unicode file through the ANSI code page.
    std::string text;
    switch (EncodingOf(bytes)) {
        case ProfileEncoding::Ansi:
            text = std::move(bytes);
            break;
        case ProfileEncoding::Utf16:
            text = AnsiOfUtf16File(bytes);
            loaded.unicode = true;
            break;
        case ProfileEncoding::Unsupported:
            loaded.why = kUnsupportedEncoding;
            return loaded;
    }
    if (text.size() > IniDocument::kMaxBytes) {
        loaded.why = kTooLarge;
        loaded.unicode = false;
        return loaded;
    }
    loaded.document = IniDocument::Parse(std::move(text));
    if (loaded.unicode) loaded.original = std::move(bytes);
    loaded.state = FileState::Ok;
    return loaded;
}

std::optional<IniDocument> LoadIniFile(const std::string& path) {
    LoadedIni loaded = LoadIniFileWithState(path);
    if (loaded.state == FileState::Unreadable) return std::nullopt;
    return std::move(loaded.document);
}

namespace {

// Writes the document in the file's own encoding: UTF-16 for a file that was (`original` its bytes).
bool SaveAs(const std::string& path, const IniDocument& document, bool unicode, std::string_view original) {
    if (unicode) return ReplaceFileAtomically(path, Utf16FileOf(document.Serialize(), original));
    // The unchanged runs of the file go out as they stand in the document, with no copy of them; but a
    // file changed here and there would go out in many small writes: such runs are joined.
    constexpr std::size_t kMostRuns = 64;
    const std::vector<std::string_view> runs = document.Runs();
    if (runs.size() > kMostRuns) return ReplaceFileAtomically(path, Joined(runs));
    return ReplaceFileAtomically(path, runs);
}

}  // namespace

bool SaveIniFile(const std::string& path, const IniDocument& document) {
    // The file keeps the encoding it has: a look at its first bytes tells.
    std::string start;
    ReadWholeFile(path, start, 4);
    switch (EncodingOf(start)) {
        case ProfileEncoding::Ansi:
            return SaveAs(path, document, false, {});
        case ProfileEncoding::Utf16: {
            std::string original;
            if (ReadWholeFile(path, original) != ReadStatus::Ok || EncodingOf(original) != ProfileEncoding::Utf16)
                return false;
            return SaveAs(path, document, true, original);
        }
        case ProfileEncoding::Unsupported:
            break;
    }
    return false;
}

bool SaveIniFile(const std::string& path, const LoadedIni& loaded) {
    // The load has told the file's encoding: the save needs no second look.
    return SaveAs(path, loaded.document, loaded.unicode, loaded.original);
}

bool UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change) {
    LoadedIni loaded = LoadIniFileWithState(path);
    if (loaded.state == FileState::Unreadable) return false;
    change(loaded.document);
    return SaveIniFile(path, loaded);
}

}  // namespace zapnix
