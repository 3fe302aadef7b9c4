#pragma once
// Taking pictures of what the screen shows, with the graphics device interface: the pixels of a
// window's rectangle copied into a bitmap compatible with the screen, with a copy of the system
// palette on a 256-colour palette display.

#include <windows.h>

#include <optional>
#include <span>

#include "capture/BmpFile.h"
#include "platform/Handles.h"

namespace zapnix {

// One captured image: a device-dependent bitmap and the palette it was taken with (none except on a
// palette display). It owns both: they go when the picture is replaced or cleared.
struct Picture {
    UniqueBitmap bitmap;
    UniquePalette palette;

    bool HasImage() const { return bitmap.Valid(); }
};

// A palette of these entries (version 0x300); 256 entries at most.
UniquePalette CreatePaletteOf(std::span<const PALETTEENTRY> entries);

// Takes ownership of `hBmp` and `hPal` (null: none).
Picture CreateBitmapPicture(HBITMAP hBmp, HPALETTE hPal);

// The rectangle at (LeftSrc, TopSrc) of `WidthSrc` × `HeightSrc` pixels of the window's client area
// (`Client`) or of the whole window with its title bar and borders. What the screen does not show there
// comes out as the system gives it; an empty rectangle gives no picture at all.
Picture CaptureWindow(HWND hWndSrc, bool Client, int LeftSrc, int TopSrc, int WidthSrc, int HeightSrc);

// The whole primary screen, in physical pixels.
Picture CaptureScreen();

// The picture's pixels and palette as a bitmap file holds them; nothing for an empty picture or when
// the system cannot hand the pixels over.
std::optional<BmpImage> ReadPicture(const Picture& picture);

}  // namespace zapnix
