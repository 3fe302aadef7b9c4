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

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// The whole palette a 256-colour display has, and rows of 4 pixels (12 bytes: no padding), 5 (15 bytes and
// one of padding) and 1 (3 and one): a width of 2 would hide the usual mistakes in the row size.
TEST(BmpFile, AFullPaletteAndRowsWithAndWithoutPadding) {
    std::vector<PaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = {static_cast<std::uint8_t>(i), 0x11, static_cast<std::uint8_t>(~i), 1};
    const struct {
        std::int32_t width;
        std::uint32_t rowBytes;
    } cases[] = {{4, 12}, {5, 16}, {1, 4}};
    for (const auto& c : cases) {
        BmpImage image{c.width, 2, {}, palette};
        for (int i = 0; i < 2 * c.width; ++i) image.pixels.push_back({0x80, 0x40, static_cast<std::uint8_t>(i)});
        std::string rows;  // bottom row first
        for (const int row : {1, 0}) {
            for (int x = 0; x < c.width; ++x) rows += Bytes({row * c.width + x, 0x40, 0x80});
            rows.append(c.rowBytes - 3 * c.width, '\0');
        }
        const std::optional<std::string> file = EncodeBmp(image);
        ASSERT_TRUE(file) << c.width;
        EXPECT_EQ(U32(*file, 2), 1078 + 2 * c.rowBytes) << c.width << ": the file's size";
        EXPECT_EQ(U32(*file, 10), 1078u) << c.width << ": where the pixels start";
        EXPECT_EQ(U32(*file, 34), 2 * c.rowBytes) << c.width << ": the pixels' size";
        EXPECT_EQ(U32(*file, 46), 256u) << c.width << ": colours used";
        EXPECT_EQ(file->substr(54 + 4 * 255, 4), Bytes({0, 0x11, 0xFF, 0})) << c.width << ": the last colour";
        EXPECT_EQ(file->substr(1078), rows) << c.width;
    }
}

}  // namespace
}  // namespace zapnix
