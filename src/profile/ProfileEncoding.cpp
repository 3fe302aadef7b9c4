#include "profile/ProfileEncoding.h"

#include <deque>
#include <map>

#include "platform/AnsiText.h"

namespace zapnix {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf32Mark = std::string_view("\xFF\xFE\0\0", 4);
constexpr std::string_view kOtherMarks[] = {"\xFE\xFF", "\xEF\xBB\xBF"};  // UTF-16 big-endian, UTF-8

std::u16string UnitsOf(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return units;
}

void AppendUnits(std::string& bytes, std::u16string_view units) {
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
}

// Calls `line(text, end)` for each line of `text`: its characters, then its line end (CR LF, LF, CR or
// none), as the engine splits lines.
template <typename Char, typename Line>
void ForEachLine(std::basic_string_view<Char> text, Line line) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = begin;
        while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
        std::size_t next = end;
        if (next < text.size()) next += (text[next] == Char('\r') && next + 1 < text.size() && text[next + 1] == Char('\n')) ? 2 : 1;
        line(text.substr(begin, end - begin), text.substr(end, next - end));
        begin = next;
    }
}

}  // namespace

ProfileEncoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with(kUtf32Mark)) return ProfileEncoding::Unsupported;
    if (bytes.starts_with(kUtf16Mark)) return bytes.size() % 2 == 0 ? ProfileEncoding::Utf16 : ProfileEncoding::Unsupported;
    for (const std::string_view mark : kOtherMarks)
        if (bytes.starts_with(mark)) return ProfileEncoding::Unsupported;
    return ProfileEncoding::Ansi;
}

std::string AnsiOfUtf16File(std::string_view file) {
    return AnsiFromUtf16(UnitsOf(file.substr(kUtf16Mark.size())));
}

std::string Utf16FileOf(std::string_view ansi, std::string_view original) {
    // The original's lines that the code page changes, by what it makes of them, in file order.
    std::map<std::string, std::deque<std::u16string>, std::less<>> kept;
    const std::u16string units = UnitsOf(original.substr(std::min(original.size(), kUtf16Mark.size())));
    ForEachLine(std::u16string_view(units), [&](std::u16string_view line, std::u16string_view) {
        std::string asAnsi = AnsiFromUtf16(line);
        if (Utf16FromAnsi(asAnsi) != line) kept[std::move(asAnsi)].emplace_back(line);
    });

    std::string file(kUtf16Mark);
    ForEachLine(ansi, [&](std::string_view line, std::string_view end) {
        const auto found = kept.find(line);
        if (found != kept.end() && !found->second.empty()) {
            AppendUnits(file, found->second.front());
            found->second.pop_front();
        } else {
            AppendUnits(file, Utf16FromAnsi(line));
        }
        AppendUnits(file, Utf16FromAnsi(end));
    });
    return file;
}

}  // namespace zapnix
