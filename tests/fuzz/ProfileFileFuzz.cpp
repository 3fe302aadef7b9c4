// libFuzzer target for the profile-file engine. One input is a file followed by writes (section, key,
// value). Whatever the bytes, parsing and serialising gives the file back byte for byte, the writes
// applied to one parsed document (as the rule list and the kill log are saved) give the bytes of the
// same writes each made on a freshly parsed file (as WritePrivateProfileStringA makes them), a plain
// value reads back as written, and a numbered list never has more rows than the file has "=".

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/IniDocument.h"
#include "rules/ProfileFile.h"

namespace {

using zapnix::IniDocument;

void Require(bool holds) {
    if (!holds) __builtin_trap();
}

bool PlainName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c); });
}

// A value the reading rules give back unchanged: no control characters (line breaks become blanks,
// blanks at the ends are trimmed), no enclosing quotes, within the 259 characters a read returns.
bool PlainValue(std::string_view value) {
    const bool quoted = value.size() >= 2 && value.front() == value.back() && (value[0] == '"' || value[0] == '\'');
    return value.size() <= IniDocument::kMaxReadLength && !quoted &&
           std::all_of(value.begin(), value.end(), [](unsigned char c) { return c > ' '; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string file = input.ConsumeRandomLengthString(8192);
    IniDocument batch = IniDocument::Parse(file);
    Require(batch.Serialize() == file);

    std::string oneAtATime = file;
    for (int writes = 0; writes < 64 && input.remaining_bytes() > 0; ++writes) {
        const std::string section = input.ConsumeRandomLengthString(24);
        const std::string key = input.ConsumeRandomLengthString(24);
        const std::string value = input.ConsumeRandomLengthString(300);
        batch.WriteString(section, key, value);
        IniDocument single = IniDocument::Parse(oneAtATime);
        single.WriteString(section, key, value);
        oneAtATime = single.Serialize();
        if (PlainName(section) && PlainName(key) && PlainValue(value)) Require(batch.ReadString(section, key) == value);
    }
    const std::string saved = batch.Serialize();
    Require(saved == oneAtATime);
    Require(IniDocument::Parse(saved).Serialize() == saved);

    constexpr std::array<std::string_view, 2> prefixes{"Title  ", "Date  "};
    std::size_t rows = 0;
    zapnix::ReadNumberedRows(batch, "Windows", prefixes, [&](std::span<std::string>) { ++rows; });
    Require(rows <= static_cast<std::size_t>(std::count(saved.begin(), saved.end(), '=')));
    return 0;
}
