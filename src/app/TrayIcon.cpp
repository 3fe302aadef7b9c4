#include "app/TrayIcon.h"

#include "app/ZapnixIds.h"
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
    wanted_ = true;
    Ensure();
}

void TrayIcon::Remove() {
    // Before the first hide the record is all zeros and the call does nothing.
    area_.Notify(NIM_DELETE, data_);
    wanted_ = false;
    present_ = false;
    Ensure();
}

void TrayIcon::OnTaskbarCreated() {
    present_ = false;
    Ensure();
}

void TrayIcon::OnRetryTimer() {
    Ensure();
}

void TrayIcon::Ensure() {
    if (wanted_ && !present_) {
        // A shell too busy to answer in time may have added the icon all the same; then only the change
        // of the existing icon succeeds.
        present_ = area_.Notify(NIM_ADD, data_) || area_.Notify(NIM_MODIFY, data_);
    }
    const bool missing = wanted_ && !present_;
    if (missing && !retrying_) {
        TraceFailure("the tray icon could not be added; asking the shell again");
        retrying_ = SetTimer(data_.hWnd, ids::kTrayRetryTimerId, kRetryMs, nullptr) != 0;
    } else if (!missing && retrying_) {
        KillTimer(data_.hWnd, ids::kTrayRetryTimerId);
        retrying_ = false;
    }
}

}  // namespace zapnix
