#include "platform/Dialogs.h"

namespace zapnix {
namespace {

int Box(HWND owner, const std::string& text, const char* title, UINT flags) {
    // A hidden owner (the main window in the tray) must not hide the box: bring it to the front.
    if (owner && !IsWindowVisible(owner)) flags |= MB_SETFOREGROUND;
    return MessageBoxA(owner, text.c_str(), title, flags);
}

}  // namespace

void ShowInformation(HWND owner, const std::string& text) {
    Box(owner, text, kMessageTitle, MB_OK | MB_ICONINFORMATION);
}

void ShowError(HWND owner, const std::string& text) {
    Box(owner, text, kErrorTitle, MB_OK | MB_ICONERROR);
}

bool AskQuestion(HWND owner, const std::string& text) {
    return Box(owner, text, kMessageTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskAfterError(HWND owner, const std::string& text) {
    return Box(owner, text, kErrorTitle, MB_YESNO | MB_ICONERROR) == IDYES;
}

}  // namespace zapnix
