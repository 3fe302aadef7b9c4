#include "update/DownloadFrm.h"

#include <commctrl.h>

#include <algorithm>

#include "update/ProgressBar.h"
#include "update/UpdateCheck.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;

constexpr int kBarSteps = 1000;

constexpr ControlSpec kLayout[] = {
    {DownloadText, "DownloadText", ControlKind::Label, "Received 0 bytes", 8, 8, 304, 17},
    {DownloadCancel, "DownloadCancel", ControlKind::Button, "Cancel", 223, 56, 89, 25},
};

}  // namespace

std::unique_ptr<DownloadFrm> DownloadFrm::Create(HWND owner, HICON icon) {
    std::unique_ptr<DownloadFrm> frm(new DownloadFrm());
    if (!frm->CreateForm(kDownloadClassName, icon, owner, kClientWidth, kClientHeight, kLayout)) return nullptr;
    frm->owner_ = owner;
    SetWindowTextA(frm->Hwnd(), kDownloadCaption);
    CreateProgressBar(frm->Hwnd(), DownloadBar, 8, 30, 304, 17, kBarSteps);
    CentreOnScreen(frm->Hwnd());
    frm->Bring();
    return frm;
}

void DownloadFrm::ShowProgress(std::uint64_t received, std::optional<std::uint64_t> total) {
    SetDlgItemTextA(Hwnd(), DownloadText, ProgressText(received, total).c_str());
    if (total && *total > 0) {
        const std::uint64_t done = std::min(received, *total) * kBarSteps / *total;
        SendDlgItemMessageA(Hwnd(), DownloadBar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    }
}

LRESULT DownloadFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == DownloadCancel || LOWORD(wParam) == IDCANCEL)
                PostMessageA(owner_, kCancelMessage, 0, 0);
            return 0;
        case WM_CLOSE:
            PostMessageA(owner_, kCancelMessage, 0, 0);
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
