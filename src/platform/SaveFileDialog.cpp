#include "platform/SaveFileDialog.h"

#include <commdlg.h>

#include <vector>

namespace zapnix {

std::optional<std::string> AskSaveFileName(const SaveFileRequest& request) {
    // The dialog takes its filter as NUL-separated pairs ended by a second NUL.
    std::string filter = request.filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');

    // Room for a long path; a fresh buffer each time, so that a cancelled dialog never hands back an
    // earlier name.
    std::vector<char> path(32768, '\0');
    request.fileName.copy(path.data(), path.size() - 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameA(&ofn)) return std::nullopt;
    return std::string(path.data());
}

}  // namespace zapnix
