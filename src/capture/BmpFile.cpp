#include "capture/BmpFile.h"

#include <limits>

namespace zapnix {
namespace {

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::optional<std::string> EncodeBmp(const BmpImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.palette.size() > 256) return std::nullopt;
    const auto width = static_cast<std::uint64_t>(image.width);
    const auto height = static_cast<std::uint64_t>(image.height);
    const std::uint64_t rowSize = (width * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = rowSize * height;
    const std::uint64_t pixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * image.palette.size();
    const std::uint64_t fileSize = pixelOffset + pixelBytes;
    // The headers hold the sizes in 32 bits.
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    if (image.pixels.size() != width * height) return std::nullopt;

    std::string out;
    out.reserve(static_cast<std::size_t>(fileSize));
    out += "BM";
    PutLittleEndian(out, fileSize, 4);
    PutLittleEndian(out, 0, 4);  // reserved
    PutLittleEndian(out, pixelOffset, 4);

    PutLittleEndian(out, kBmpInfoHeaderSize, 4);
    PutLittleEndian(out, width, 4);
    PutLittleEndian(out, height, 4);  // positive: the bottom row comes first
    PutLittleEndian(out, 1, 2);       // planes
    PutLittleEndian(out, 24, 2);      // bits per pixel
    PutLittleEndian(out, 0, 4);       // BI_RGB, uncompressed
    PutLittleEndian(out, pixelBytes, 4);
    PutLittleEndian(out, 0, 4);  // no stated resolution
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, image.palette.size(), 4);  // colours used
    PutLittleEndian(out, 0, 4);                     // all colours important

    for (const PaletteEntry& entry : image.palette) {
        out.push_back(static_cast<char>(entry.blue));
        out.push_back(static_cast<char>(entry.green));
        out.push_back(static_cast<char>(entry.red));
        out.push_back('\0');
    }

    const std::size_t padding = static_cast<std::size_t>(rowSize - width * 3);
    for (std::uint64_t row = height; row-- > 0;) {
        const Rgb* pixel = image.pixels.data() + row * width;
        for (std::uint64_t x = 0; x < width; ++x, ++pixel) {
            out.push_back(static_cast<char>(pixel->blue));
            out.push_back(static_cast<char>(pixel->green));
            out.push_back(static_cast<char>(pixel->red));
        }
        out.append(padding, '\0');
    }
    return out;
}

}  // namespace zapnix
