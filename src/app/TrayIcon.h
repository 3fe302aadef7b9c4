#pragma once
// The notification-area icon of the hidden main window.

#include <windows.h>
#include <shellapi.h>

namespace zapnix {

// The tray reports mouse events to the main window with this message code.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

class TrayIcon {
public:
    // The ANSI record with the 64-character tip of the first shell versions: 88 bytes in a 32-bit
    // build, 104 in a 64-bit one.
    static constexpr DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;

    // Fills the record (done each time the window is hides) and asks the shell for the icon.
    void Add(HWND owner, HICON icon);
    // Removes the icon; harmless when there is none.
    void Remove();
    // The shell's taskbar was re-created: the icon that was showing must be added again.
    void OnTaskbarCreated();

    bool Wanted() const { return wanted_; }
    const NOTIFYICONDATAA& Record() const { return data_; }

private:
    NOTIFYICONDATAA data_{};
    bool wanted_ = false;
};

}  // namespace zapnix
