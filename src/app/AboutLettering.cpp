#include "app/AboutLettering.h"

#include <array>

namespace zapnix {
namespace {

constexpr int kLetterColumns = 5;
// A letter and the blank column after it.
constexpr int kAdvance = (kLetterColumns + 1) * kLetterCellSize;

struct Letter {
    char character;
    std::array<std::string_view, 9> rows;  // '#' is lit; rows past the given ones are blank
};

constexpr Letter kLetters[] = {
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
};

const Letter* LetterOf(char c) {
    for (const Letter& letter : kLetters)
        if (letter.character == c) return &letter;
    return nullptr;
}

}  // namespace

std::vector<LetterCell> LetterCells(std::string_view text, int top) {
    // The line's width leaves out the blank column after its last letter.
    const int width = static_cast<int>(text.size()) * kAdvance - kLetterCellSize;
    const int lineLeft = (kAboutPictureWidth - width) / 2;
    std::vector<LetterCell> cells;
    for (std::size_t n = 0; n < text.size(); ++n) {
        const Letter* letter = LetterOf(text[n]);
        if (!letter) continue;
        const int left = lineLeft + static_cast<int>(n) * kAdvance;
        for (int row = 0; row < static_cast<int>(letter->rows.size()); ++row) {
            const std::string_view bits = letter->rows[static_cast<std::size_t>(row)];
            for (int column = 0; column < static_cast<int>(bits.size()); ++column)
                if (bits[static_cast<std::size_t>(column)] == '#')
                    cells.push_back({left + column * kLetterCellSize, top + row * kLetterCellSize});
        }
    }
    return cells;
}

}  // namespace zapnix
