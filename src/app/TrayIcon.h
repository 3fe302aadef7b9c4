#pragma once
// The notification-area icon of the hidden main window. At logon the program may start before the
// shell's notification area exists, and the shell may restart later: so the icon is tracked by whether
// it really exists, and asked for again while it is wanted and missing.

#include <windows.h>
#include <shellapi.h>

#include "platform/NotificationArea.h"

namespace zapnix {

// The tray reports mouse events to the main window with this message code.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

class TrayIcon {
public:
    // The ANSI record with the 64-character tip of the first shell versions: 88 bytes in a 32-bit
    // build, 104 in a 64-bit one.
    static constexpr DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
    // How long a missing icon waits before the shell is asked again.
    static constexpr UINT kRetryMs = 2000;

    // `area` must outlive the icon.
    explicit TrayIcon(NotificationArea& area) : area_(area) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Fills the record (each time the window hides) and asks the shell for the icon unless it is there;
    // when the shell refuses, asks again on the owner's retry timer until it agrees.
    void Add(HWND owner, HICON icon);
    // Removes the icon; harmless when there is none. Stops asking for it.
    void Remove();
    // The shell's taskbar was re-created without the icons it had.
    void OnTaskbarCreated();
    // The owner received its retry timer (ids::kTrayRetryTimerId).
    void OnRetryTimer();

    bool Wanted() const { return wanted_; }
    bool Present() const { return present_; }
    const NOTIFYICONDATAA& Record() const { return data_; }

private:
    // Asks for the icon when it is wanted and missing, and runs the retry timer exactly while that lasts.
    void Ensure();

    NotificationArea& area_;
    NOTIFYICONDATAA data_{};
    bool wanted_ = false;
    bool present_ = false;
    bool retrying_ = false;
};

}  // namespace zapnix
