#pragma once
// The Windows bitmap file as the capture utility writes it: a file header, a 40-byte information
// header, the palette when the picture carries one, then the pixels at 24 bits each, bottom row first,
// every row padded to a multiple of four bytes. Every image viewer reads this form.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zapnix {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One entry of a palette as the system keeps it (the flags are not part of the file).
struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};

struct BmpImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<Rgb> pixels;            // width × height, top row first, each row left to right
    std::vector<PaletteEntry> palette;  // empty, or the palette the picture was taken with (256 at most)
};

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;

// The file's bytes; nothing for an empty or inconsistent image, or one too large for the format's
// 32-bit sizes.
std::optional<std::string> EncodeBmp(const BmpImage& image);

// The display counts as a palette display, whose captures carry a copy of the system palette, only with
// palette raster capabilities and exactly 256 system palette entries.
constexpr bool IsPaletteDisplay(int rasterCaps, int paletteSize) {
    constexpr int kRcPalette = 0x100;
    return (rasterCaps & kRcPalette) != 0 && paletteSize == 256;
}

}  // namespace zapnix
