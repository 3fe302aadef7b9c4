#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/BmpFile.h"

namespace zapnix {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

constexpr Rgb kRed{0xFF, 0, 0}, kGreen{0, 0xFF, 0}, kBlue{0, 0, 0xFF}, kGrey{0x10, 0x20, 0x30};

TEST(BmpFile, PaletteThenBottomUpBgrRowsPaddedToFourBytes) {
    const BmpImage image{2, 2, {kRed, kGreen, kBlue, kGrey}, {{1, 2, 3, 0x04}, {0xA, 0xB, 0xC, 0}}};
    const std::string expected =
        Bytes({'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0}) +  // 54 + 2 colours of 4 + 2 rows of 8
        Bytes({40, 0, 0, 0, 2,  0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // 2 × 2, one plane, 24 bits
               0,  0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  // uncompressed, 16 pixel bytes
               2,  0, 0, 0, 0,  0, 0, 0}) +                        // two colours used
        Bytes({3, 2, 1, 0, 0xC, 0xB, 0xA, 0}) +                    // blue, green, red; the flags stay out
        Bytes({0xFF, 0, 0, 0x30, 0x20, 0x10, 0, 0}) +              // bottom row: blue, grey, padding
        Bytes({0, 0, 0xFF, 0, 0xFF, 0, 0, 0});                     // top row: red, green, padding
    EXPECT_EQ(EncodeBmp(image), expected);
}

TEST(BmpFile, RefusesImagesTheFormatCannotHold) {
    const struct {
        const char* why;
        BmpImage image;
    } cases[] = {
        {"zero height", {4, 0, {}, {}}},
        {"negative width", {-1, 1, {kRed}, {}}},
        {"fewer pixels than the size says", {2, 2, {kRed, kRed, kRed}, {}}},
        {"more than 256 palette entries", {1, 1, {kRed}, std::vector<PaletteEntry>(257)}},
        {"past 4 GiB, where the 32-bit sizes would wrap", {40000, 40000, {}, {}}},
    };
    for (const auto& c : cases) EXPECT_FALSE(EncodeBmp(c.image)) << c.why;
}

TEST(BmpFile, PaletteDisplayNeedsPaletteCapsAndExactly256Entries) {
    EXPECT_TRUE(IsPaletteDisplay(0x7FFF, 256));
    EXPECT_FALSE(IsPaletteDisplay(0x100, 16));
    EXPECT_FALSE(IsPaletteDisplay(0xFEFF, 256)) << "true colour reports no RC_PALETTE";
}

}  // namespace
}  // namespace zapnix
