#include "capture/GdiCapture.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/Trace.h"

namespace zapnix {
namespace {

// The system palette as it is now, as a palette of our own.
UniquePalette CopySystemPalette(HDC source) {
    PALETTEENTRY entries[256] = {};
    GetSystemPaletteEntries(source, 0, 256, entries);
    return CreatePaletteOf(entries);
}

}  // namespace

UniquePalette CreatePaletteOf(std::span<const PALETTEENTRY> entries) {
    // LOGPALETTE declares one entry and is followed by the rest: built in a buffer of the full size.
    entries = entries.first(std::min<std::size_t>(entries.size(), 256));
    std::vector<std::byte> buffer(offsetof(LOGPALETTE, palPalEntry) + entries.size_bytes());
    const LOGPALETTE header{0x300, static_cast<WORD>(entries.size()), {}};
    std::memcpy(buffer.data(), &header, offsetof(LOGPALETTE, palPalEntry));
    std::memcpy(buffer.data() + offsetof(LOGPALETTE, palPalEntry), entries.data(), entries.size_bytes());
    return UniquePalette(CreatePalette(reinterpret_cast<const LOGPALETTE*>(buffer.data())));
}

Picture CreateBitmapPicture(HBITMAP hBmp, HPALETTE hPal) {
    return Picture{UniqueBitmap(hBmp), UniquePalette(hPal)};
}

Picture CaptureWindow(HWND hWndSrc, bool Client, int LeftSrc, int TopSrc, int WidthSrc, int HeightSrc) {
    // An empty rectangle (a collapsed window, a failed GetWindowRect) has nothing to copy: the system
    // would hand back a 1 × 1 monochrome bitmap, a picture of nothing.
    if (WidthSrc <= 0 || HeightSrc <= 0) return {};

    UniqueBitmap bitmap;
    UniquePalette palette;
    {
        const WindowDc source(hWndSrc, Client ? WindowDc::Area::Client : WindowDc::Area::WholeWindow);
        if (!source) {
            TraceFailure("capture: no device context for the window");
            return {};
        }
        const UniqueMemoryDc memory(CreateCompatibleDC(source.Get()));
        bitmap.Reset(CreateCompatibleBitmap(source.Get(), WidthSrc, HeightSrc));
        if (!memory || !bitmap) {
            TraceFailure("capture: no memory context or bitmap");
            return {};
        }
        std::optional<SelectionGuard> bitmapSelection(std::in_place, memory.Get(), bitmap.Get());

        const int rasterCaps = GetDeviceCaps(source.Get(), RASTERCAPS);
        const int paletteSize = GetDeviceCaps(source.Get(), SIZEPALETTE);
        std::optional<PaletteSelection> paletteSelection;
        if (IsPaletteDisplay(rasterCaps, paletteSize)) {
            palette = CopySystemPalette(source.Get());
            paletteSelection.emplace(memory.Get(), palette.Get());
            RealizePalette(memory.Get());
        }

        BitBlt(memory.Get(), 0, 0, WidthSrc, HeightSrc, source.Get(), LeftSrc, TopSrc, SRCCOPY);

        // The bitmap and palette leave the memory context, in this order, before it is deleted and the
        // window's context released (the guards' own order on leaving the block).
        bitmapSelection.reset();
        paletteSelection.reset();
    }
    return CreateBitmapPicture(bitmap.Release(), palette.Release());
}

Picture CaptureScreen() {
    // Zapnix is DPI aware: these are the primary screen's physical pixels.
    return CaptureWindow(GetDesktopWindow(), false, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

std::optional<BmpImage> ReadPicture(const Picture& picture) {
    if (!picture.HasImage()) return std::nullopt;
    BITMAP info{};
    if (!GetObjectA(picture.bitmap.Get(), sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return std::nullopt;

    BmpImage image;
    image.width = info.bmWidth;
    image.height = info.bmHeight;

    // The pixels as 32-bit top-down rows; a palette-based bitmap is translated through its own palette.
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return std::nullopt;
    const PaletteSelection paletteSelection(dc.Get(), picture.palette.Get());
    if (picture.palette) RealizePalette(dc.Get());
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = image.width;
    request.bmiHeader.biHeight = -image.height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    const auto count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    std::vector<RGBQUAD> pixels(count);
    if (GetDIBits(dc.Get(), picture.bitmap.Get(), 0, static_cast<UINT>(image.height), pixels.data(), &request,
                  DIB_RGB_COLORS) != image.height) {
        TraceFailure("capture: the bitmap's pixels could not be read");
        return std::nullopt;
    }
    image.pixels.reserve(count);
    for (const RGBQUAD& p : pixels) image.pixels.push_back(Rgb{p.rgbRed, p.rgbGreen, p.rgbBlue});

    if (picture.palette) {
        PALETTEENTRY entries[256] = {};
        const UINT n = GetPaletteEntries(picture.palette.Get(), 0, 256, entries);
        for (UINT i = 0; i < n; ++i)
            image.palette.push_back(
                PaletteEntry{entries[i].peRed, entries[i].peGreen, entries[i].peBlue, entries[i].peFlags});
    }
    return image;
}

}  // namespace zapnix
