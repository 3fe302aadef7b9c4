#pragma once
// The progress bars of the update windows, placed like the controls of a form's table.

#include <windows.h>

#include "platform/Controls.h"

namespace zapnix {

// A progress bar with the range 0 to `maximum` at a place given in pixels at 96 dots per inch.
HWND CreateProgressBar(HWND parent, int id, int x, int y, int width, int height, int maximum);

}  // namespace zapnix
