#include "app/KillerSwitch.h"

#include "app/ZapnixIds.h"

namespace zapnix {

void KillerSwitch::Switch(bool enabled, std::optional<std::uint32_t> periodMs) {
    KillTimer(window_, ids::kCheckTimerId);
    // A period of 0 never fires: the system's timer would take it as its shortest period instead.
    if (periodMs && *periodMs > 0) SetTimer(window_, ids::kCheckTimerId, *periodMs, nullptr);
    if (!enabled || !checkNow_)
        events_.Stop();
    else if (!events_.Listening())
        events_.Listen(checkNow_);
}

bool KillerSwitch::OnTimer(WPARAM timerId) {
    if (timerId != ids::kCheckTimerId) return false;
    if (pass_) pass_();
    return true;
}

void KillerSwitch::Stop() {
    Switch(false, std::nullopt);
}

}  // namespace zapnix
