// libFuzzer target for the profile-file engine. One input is a file followed by writes (section, key,
// value). Whatever the bytes, parsing and serialising gives the file back byte for byte, the writes
// applied to one parsed document (as the rule list and the kill log are saved) give the bytes of the
// same writes each made on a freshly parsed file (as WritePrivateProfileStringA makes them), a plain
// value reads back as written, a numbered list never has more rows than the file has "=", and a
// numbered list written in one batch gives the bytes of its keys written one at a time (and, where its
// rows above the count go, then those keys removed).

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/IniDocument.h"
#include "profile/NumberedRows.h"

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

    // A list saved over the file in one batch, as the rule list and the kill log are, gives the bytes
    // of its keys written one at a time.
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 8);
    const auto rowsAbove = input.ConsumeBool() ? zapnix::RowsAbove::Go : zapnix::RowsAbove::Stay;
    std::vector<std::string> cells(2 * count);
    for (std::string& cell : cells) cell = input.ConsumeRandomLengthString(16);
    IniDocument list = IniDocument::Parse(saved);
    zapnix::WriteNumberedRows(
        list, "Windows", prefixes, count,
        [&](std::size_t row, std::size_t column) { return std::string_view(cells[2 * row + column]); }, rowsAbove);
    std::string keyByKey = saved;
    const auto write = [&](std::string_view key, std::string_view value) {
        IniDocument single = IniDocument::Parse(keyByKey);
        single.WriteString("Windows", key, value);
        keyByKey = single.Serialize();
    };
    write("Total", std::to_string(count));
    for (std::size_t row = 0; row < count; ++row)
        for (std::size_t column = 0; column < 2; ++column)
            write(zapnix::NumberedKey(prefixes[column], row + 1), cells[2 * row + column]);
    if (rowsAbove == zapnix::RowsAbove::Go) {
        // The rows above the count up to 99 by name; a number of three digits or more is above it too.
        IniDocument single = IniDocument::Parse(keyByKey);
        single.RemoveKeys("Windows", [&](std::string_view name) {
            for (const std::string_view prefix : prefixes) {
                for (std::size_t row = count + 1; row < 100; ++row)
                    if (IniDocument::SameName(name, zapnix::NumberedKey(prefix, row))) return true;
                const std::string_view digits = name.substr(std::min(name.size(), prefix.size()));
                if (digits.size() >= 3 && digits[0] != '0' && IniDocument::SameName(name.substr(0, prefix.size()), prefix) &&
                    std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                    return true;
            }
            return false;
        });
        keyByKey = single.Serialize();
    }
    Require(list.Serialize() == keyByKey);
    return 0;
}
