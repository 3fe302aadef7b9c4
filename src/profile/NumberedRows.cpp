#include "profile/NumberedRows.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace zapnix {
namespace {

constexpr std::string_view kTotal = "Total";

// An upper bound on the key lines of any section: lines that hold an "=".
std::size_t LinesHoldingEquals(const IniDocument& document) {
    const std::string bytes = document.Serialize();
    std::size_t lines = 0;
    bool seen = false;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            seen = false;
        } else if (c == '=' && !seen) {
            seen = true;
            ++lines;
        }
    }
    return lines;
}

// The keys of one row, each made in a buffer of its column that every row reuses: only the digits
// change from row to row, and a list of 100,000 rows would otherwise build and drop a string per key.
class RowKeys {
public:
    explicit RowKeys(std::span<const std::string_view> prefixes) : prefixes_(prefixes), keys_(prefixes.size()) {
        for (std::size_t column = 0; column < prefixes.size(); ++column) {
            keys_[column].assign(prefixes[column]);
            keys_[column].resize(prefixes[column].size() + sizeof digits_);
        }
    }

    void SetRow(std::size_t row) {
        const std::to_chars_result end = std::to_chars(digits_, digits_ + sizeof digits_, row);
        digitsLength_ = static_cast<std::size_t>(end.ptr - digits_);
    }
    std::string_view Key(std::size_t column) {
        char* const at = keys_[column].data() + prefixes_[column].size();
        std::memcpy(at, digits_, sizeof digits_);  // all of them: a fixed size is copied without a call
        return {keys_[column].data(), prefixes_[column].size() + digitsLength_};
    }

private:
    std::span<const std::string_view> prefixes_;
    std::vector<std::string> keys_;
    char digits_[24] = {};
    std::size_t digitsLength_ = 0;
};

// Whether every key of a numbered list differs from every other as a name, "Total" included. A row's
// key ends in its number's digits: where no prefix ends in a digit, the digits split off alone, so
// keys of different rows differ, and keys of one row differ when the prefixes do.
bool DifferentKeys(std::span<const std::string_view> prefixes) {
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        if (!prefixes[i].empty() && prefixes[i].back() >= '0' && prefixes[i].back() <= '9') return false;
        for (std::size_t j = 0; j < i; ++j)
            if (IniDocument::SameName(prefixes[i], prefixes[j])) return false;
    }
    return true;
}

// The row that `name` is a key of with `prefix`: the digits after the prefix as NumberedKey writes them
// (no sign, no leading zeros), ASCII letter case aside. 0 when it is none; SIZE_MAX for a number past
// what std::size_t holds.
std::size_t RowOf(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || !IniDocument::SameName(name.substr(0, prefix.size()), prefix)) return 0;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.front() == '0' || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    std::size_t row = 0;
    const std::from_chars_result read = std::from_chars(digits.data(), digits.data() + digits.size(), row);
    return read.ec == std::errc::result_out_of_range ? SIZE_MAX : row;
}

}  // namespace

std::string NumberedKey(std::string_view prefix, std::size_t row) {
    RowKeys keys({&prefix, 1});
    keys.SetRow(row);
    return std::string(keys.Key(0));
}

void ReadNumberedRows(const IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                      const std::function<void(std::span<std::string> cells)>& onRow) {
    // A list is read in the order of its last save, unless its keys might not differ as names.
    IniDocument::OrderedReads inOrder = document.ReadInOrder(section);
    const bool differentKeys = DifferentKeys(prefixes);
    const auto read = [&](std::string_view key) {
        return differentKeys ? inOrder.Read(key) : document.ReadString(section, key);
    };
    // Read as the signed 32-bit number the profile functions return: "-1" is no rows, not 4294967295.
    const auto total = static_cast<std::int32_t>(IniDocument::NumberIn(read(kTotal)));
    if (total < 1) return;
    // Counting the lines costs a pass over the whole file: only a row without a value, which a damaged
    // Total would give, asks for it. A row with a value has its own line, so below that row the bound
    // cannot bite.
    std::optional<std::size_t> backed;
    std::vector<std::string> cells(prefixes.size());
    RowKeys keys(prefixes);
    for (std::size_t row = 1; row <= static_cast<std::size_t>(total); ++row) {
        bool empty = true;
        keys.SetRow(row);
        for (std::size_t column = 0; column < prefixes.size(); ++column) {
            cells[column] = read(keys.Key(column));
            empty = empty && cells[column].empty();
        }
        if (empty && !backed) backed = LinesHoldingEquals(document);
        if (backed && row > *backed) return;
        onRow(cells);
    }
}

void WriteNumberedRows(IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                       std::size_t count,
                       const std::function<std::string_view(std::size_t row, std::size_t column)>& cell,
                       RowsAbove rowsAbove) {
    const std::string total = std::to_string(count);
    RowKeys keys(prefixes);
    const auto writeAll = [&](auto&& write) {
        write(kTotal, total);
        for (std::size_t row = 0; row < count; ++row) {
            keys.SetRow(row + 1);
            for (std::size_t column = 0; column < prefixes.size(); ++column) write(keys.Key(column), cell(row, column));
        }
    };
    // A key that is a row above the count with one prefix may be a row written with another ("Row" 12
    // and "Row1" 2): such a key stays.
    const auto doomed = [&](std::string_view name) {
        bool above = false;
        for (const std::string_view prefix : prefixes) {
            const std::size_t row = RowOf(name, prefix);
            if (row >= 1 && row <= count) return false;
            above = above || row > count;
        }
        return above;
    };
    if (DifferentKeys(prefixes)) {
        // A list saved over its last save: its key lines stand in the order they are written.
        IniDocument::OrderedWrites writes = document.WriteInOrder(section);
        writeAll([&](std::string_view key, std::string_view value) { writes.Write(key, value); });
        if (rowsAbove == RowsAbove::Go) writes.RemoveOthers(doomed);
    } else {
        writeAll([&](std::string_view key, std::string_view value) { document.WriteString(section, key, value); });
        if (rowsAbove == RowsAbove::Go) document.RemoveKeys(section, doomed);
    }
}

}  // namespace zapnix
