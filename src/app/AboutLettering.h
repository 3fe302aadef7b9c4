#pragma once
// The lettering of the About box's picture: block letters of 5 x 9 cells (seven above the baseline, two
// for descenders) at two pixels a cell, each line centred in the picture's width. The picture itself
// holds no text, so that the box can show the version of the build it belongs to.

#include <string_view>
#include <vector>

namespace zapnix {

inline constexpr int kAboutPictureWidth = 270;
inline constexpr int kLetterCellSize = 2;

// The top-left corner of one lit cell, a square of kLetterCellSize pixels, in picture coordinates.
struct LetterCell {
    int left = 0;
    int top = 0;

    friend bool operator==(const LetterCell&, const LetterCell&) = default;
};

// The lit cells of `text` as a line whose cells start at row `top`, centred in the picture. The letters are
// those of the program's name, "Version", the digits and the point; any other character stays blank.
std::vector<LetterCell> LetterCells(std::string_view text, int top);

}  // namespace zapnix
