#pragma once
// The system's "Save As" dialog.

#include <windows.h>

#include <optional>
#include <string>

namespace zapnix {

struct SaveFileRequest {
    HWND owner = nullptr;
    std::string folder;            // where the dialog starts; empty: the system's choice
    std::string fileName;          // the name proposed in the dialog; may be empty
    std::string filter;            // pairs of description and pattern, each ended by '|': "Bitmap (*.bmp)|*.bmp|"
    std::string defaultExtension;  // added to a name typed without one, without the point: "BMP"
};

// The full path chosen, or nothing when the dialog was cancelled. Asks before replacing an existing file.
std::optional<std::string> AskSaveFileName(const SaveFileRequest& request);

}  // namespace zapnix
