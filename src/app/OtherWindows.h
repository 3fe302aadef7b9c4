#pragma once
// The program's windows besides the main one, each existing at most once: made on first use (showing
// what the stores hold), brought up again while it exists, made afresh once it has been closed.

#include <windows.h>

#include <cstddef>

#include "app/AboutFrm.h"
#include "app/KillerSwitch.h"
#include "capture/CaptureFrm.h"
#include "engine/BrowserFrames.h"
#include "killlog/KillLogStore.h"
#include "killlog/LogFrm.h"
#include "picking/WinPick.h"
#include "platform/WindowContext.h"
#include "platform/WindowSlot.h"
#include "rules/RuleStore.h"
#include "rules/WinEditFrm.h"
#include "settings/SettingsFrm.h"
#include "update/UpgradeFrm.h"

namespace zapnix {

class ZapnixFrm;

class OtherWindows {
public:
    // Everything given must outlive the windows.
    OtherWindows(const WindowContext& context, ZapnixFrm& main, KillerSwitch& killer, RuleStore& rules,
                 KillLogStore& killLog, BrowserFrames& browserFrames)
        : context_(context),
          main_(main),
          killer_(killer),
          rules_(rules),
          killLog_(killLog),
          browserFrames_(browserFrames) {}

    void ShowLog();
    void ShowUpgrade();
    void ShowSettings();
    void ShowAbout();
    void ShowCapture();
    // The picker, with the browser windows open now added to its lists.
    void ShowPicker();
    // The editor of the rule that a click on row `clickedRow` stands for, the main window hidden meanwhile.
    void EditRule(std::size_t clickedRow);
    // Closes them all, each as by its own close command (the kill-log viewer saves the log).
    void CloseAll();

    WinEditFrm* Editor() { return editor_.Get(); }
    CaptureFrm* Capture() { return capture_.Get(); }

private:
    const WindowContext& context_;
    ZapnixFrm& main_;
    KillerSwitch& killer_;
    RuleStore& rules_;
    KillLogStore& killLog_;
    BrowserFrames& browserFrames_;
    WindowSlot<LogFrm> log_;
    WindowSlot<AboutFrm> about_;
    WindowSlot<WinEditFrm> editor_;
    WindowSlot<WinPick> picker_;
    WindowSlot<UpgradeFrm> upgrade_;
    WindowSlot<SettingsFrm> settings_;
    WindowSlot<CaptureFrm> capture_;
};

}  // namespace zapnix
