#include "app/TrayIcon.h"

#include "platform/Trace.h"

namespace zapnix {

static_assert(TrayIcon::kRecordSize == (sizeof(void*) == 8 ? 104 : 88), "the ANSI V1 notification record");

void TrayIcon::Add(HWND owner, HICON icon) {
    data_ = NOTIFYICONDATAA{};
    data_.cbSize = kRecordSize;
    data_.hWnd = owner;
    data_.uID = 1;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon;
    lstrcpynA(data_.szTip, "Zapnix Popup Killer", 64);
    // When the icon exists already the add fails and the one icon stays.
    if (!Shell_NotifyIconA(NIM_ADD, &data_)) TraceFailure("the tray icon could not be added");
    wanted_ = true;
}

void TrayIcon::Remove() {
    // Before the first hide the record is all zeros and the call does nothing.
    Shell_NotifyIconA(NIM_DELETE, &data_);
    wanted_ = false;
}

void TrayIcon::OnTaskbarCreated() {
    if (wanted_) Shell_NotifyIconA(NIM_ADD, &data_);
}

}  // namespace zapnix
