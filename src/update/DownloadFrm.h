#pragma once
// The small window that shows a package download under way, with the bytes received against the total
// and a Cancel button. Cancelling (the button or the close box) is reported to the owner as a posted
// message, so that the owner may destroy this window outside its own handler.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/BaseWindow.h"

namespace zapnix {

inline constexpr char kDownloadClassName[] = "ZapnixDownloadFrm";
inline constexpr char kDownloadCaption[] = "Zapnix Upgrade Download";

class DownloadFrm : public BaseWindow<DownloadFrm> {
public:
    static constexpr int kClientWidth = 320;
    static constexpr int kClientHeight = 88;
    // Posted to the owner when the user cancels.
    static constexpr UINT kCancelMessage = WM_APP + 73;

    static std::unique_ptr<DownloadFrm> Create(HWND owner, HICON icon);
    void ShowProgress(std::uint64_t received, std::optional<std::uint64_t> total);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    DownloadFrm() = default;
    HWND owner_ = nullptr;
};

}  // namespace zapnix
