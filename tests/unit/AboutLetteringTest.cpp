#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/AboutLettering.h"

namespace zapnix {
namespace {

// Every version the build accepts is lettered in full: a digit without its letter would leave a gap in the
// About box. Each character owns a band of six cells; the line sits in the middle of the picture.
TEST(AboutLettering, EveryCharacterOfTheNameAndOfAnyVersionHasItsLetterAndTheLineIsCentred) {
    for (const std::string text : {"Zapnix Popup Killer", "Version 0.123", "Version 45678", "Version 9"}) {
        const std::vector<LetterCell> cells = LetterCells(text, 148);
        ASSERT_FALSE(cells.empty()) << text;
        const auto [leftmost, rightmost] =
            std::minmax_element(cells.begin(), cells.end(), [](auto& a, auto& b) { return a.left < b.left; });
        const int left = leftmost->left, right = rightmost->left + kLetterCellSize;
        EXPECT_LE(std::abs((kAboutPictureWidth - right) - left), 2 * kLetterCellSize) << text;
        const int bandWidth = 6 * kLetterCellSize;
        const int lineLeft = (kAboutPictureWidth - (static_cast<int>(text.size()) * bandWidth - kLetterCellSize)) / 2;
        for (std::size_t n = 0; n < text.size(); ++n) {
            const int band = lineLeft + static_cast<int>(n) * bandWidth;
            const bool lettered = std::any_of(cells.begin(), cells.end(), [&](const LetterCell& cell) {
                return cell.left >= band && cell.left < band + bandWidth && cell.top >= 148;
            });
            EXPECT_EQ(lettered, text[n] != ' ') << text << " at " << n;
        }
    }
}

}  // namespace
}  // namespace zapnix
