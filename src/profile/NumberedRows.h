#pragma once
// A numbered list in a profile section, the layout that the rule list and the kill log share: "Total",
// then for row i (from 1) one key per prefix, the prefix followed by i ("Title   " and 12 give
// "Title   12").

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "profile/IniDocument.h"

namespace zapnix {

// The key of entry `row` (1-based): the prefix followed directly by the digits, without leading zeros.
std::string NumberedKey(std::string_view prefix, std::size_t row);

// The rows read are "Total" read as a signed number (below 1: none), but never more than the document
// has lines holding an "=": a row beyond that cannot have a single stored key, so a damaged "Total"
// (2147483647) costs no more time or memory than the file's own size. A "Total" a little above the
// stored rows still gives its empty rows, as the profile functions would.
//
// `onRow` gets the cells of each row in prefix order, to move from.
void ReadNumberedRows(const IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                      const std::function<void(std::span<std::string> cells)>& onRow);

// What becomes of the keys of rows above the count that a list is saved with.
enum class RowsAbove {
    Stay,  // as the profile functions leave them
    Go,    // every key line of the section named exactly a prefix and a number above the count, the
           // number written as NumberedKey writes it (no sign, no leading zeros), ASCII case aside
};

// Writes "Total" = count, then row by row the keys in prefix order; `cell(row, column)` is 0-based.
void WriteNumberedRows(IniDocument& document, std::string_view section, std::span<const std::string_view> prefixes,
                       std::size_t count,
                       const std::function<std::string_view(std::size_t row, std::size_t column)>& cell,
                       RowsAbove rowsAbove = RowsAbove::Stay);

}  // namespace zapnix
