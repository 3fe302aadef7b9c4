#pragma once
// The rule editor: the four cells of one window killer in a small dialog. It writes back only through
// its apply callback, which refuses to write into any rule but the one it was opened on.

#include <windows.h>

#include <functional>
#include <memory>
#include <span>

#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "rules/RuleCommands.h"

namespace zapnix {

inline constexpr char kEditClassName[] = "WinEditFrm";

class WinEditFrm : public BaseWindow<WinEditFrm> {
public:
    using ApplySink = std::function<ApplyOutcome(const WindowKiller& edited)>;
    using ClosedSink = std::function<void()>;

    static constexpr int kClientWidth = 420;
    static constexpr int kClientHeight = 213;

    // Creates the editor filled from `rule` and shows it. `apply` writes an edit back; `closed` runs
    // whenever the editor goes, however it is closed.
    static std::unique_ptr<WinEditFrm> Create(HWND owner, HICON icon, const WindowKiller& rule, ApplySink apply,
                                              ClosedSink closed);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    WinEditFrm() = default;
    void OnCommand(int id, int code);
    void Apply();

    ApplySink apply_;
    ClosedSink closed_;
};

}  // namespace zapnix
