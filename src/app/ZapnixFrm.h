#pragma once
// The main window: the rule list with its commands, the drag target, the tray icon, and the program's
// end; the check timer ticks here for the killer's switch. The stores and the other windows are start-up's; this window shows the rules
// and raises the commands.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/KillerSwitch.h"
#include "app/MainMenu.h"
#include "app/TrayEvents.h"
#include "app/TrayIcon.h"
#include "engine/BrowserFrames.h"
#include "picking/DragTargetControl.h"
#include "platform/BaseWindow.h"
#include "platform/WindowContext.h"
#include "rules/RuleListPanel.h"
#include "rules/RuleStore.h"

namespace zapnix {

class OtherWindows;

inline constexpr char kMainClassName[] = "ZapnixFrm";

// What start-up found in the profile file for the main window.
struct StartupState {
    bool startHidden = false;                    // "Minimized" is exactly 1
    bool killerEnabled = false;                  // "Enabled" is exactly 1
    std::optional<std::uint32_t> checkPeriodMs;  // the check timer's period; none: the killer is off
    std::optional<std::string> unreadableWhy;    // the rules could not be read, and why
};

class ZapnixFrm : public BaseWindow<ZapnixFrm> {
public:
    static constexpr int kClientWidth = 650;
    static constexpr int kClientHeight = 454;

    // Everything given must outlive the window.
    ZapnixFrm(const WindowContext& context, RuleStore& rules, BrowserFrames& browserFrames, KillerSwitch& killer,
              OtherWindows& others)
        : context_(context),
          rules_(rules),
          browserFrames_(browserFrames),
          killer_(killer),
          others_(others),
          winList_(rules.Rules()),
          tray_(context.notificationArea) {}
    ~ZapnixFrm() override;

    // Creates the window with the rules loaded into the store, hides to the tray or switches the killer
    // as `startup` says, and shows the window unless it was hidden.
    bool Create(const StartupState& startup);

    void SetTitleText(const std::string& title);
    // The rule editor has gone: the list as edited, and the window back unless the program is ending.
    void EditorClosed();

    void HideToTray();
    const TrayIcon& Tray() const { return tray_; }
    // Every close path ends here: the question, then saving, sliding off the screen and ending.
    void RequestClose();
    // Opens the address in the user's default browser; whether one came up is not known.
    void LaunchURL(const std::string& navTo);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnCommand(int id);
    void OnTrayNotify(LPARAM lParam);
    void RestoreFromTray();
    void OpenFromTray();
    void OpenHomepage();
    void OpenForum();
    void AddRuleFromText();
    void DeleteTicked();
    void OnDrop(WindowHandle window);
    // Saves the rule list; on failure asks whether to close anyway. True: go on closing.
    bool SaveWinList();
    bool ConfirmClose();
    void SlideOut();
    void EndProgram();

    const WindowContext& context_;
    RuleStore& rules_;
    BrowserFrames& browserFrames_;
    KillerSwitch& killer_;
    OtherWindows& others_;
    RuleListPanel winList_;
    TrayIcon tray_;
    TrayEvents trayEvents_;
    TrayMenu trayMenu_;
    UINT taskbarCreated_ = 0;
    DragTargetControl dragTarget_;
    bool closing_ = false;  // the closing question is open, or its Yes is being carried out
    bool ending_ = false;   // the program is ending: its other windows are being closed
};

}  // namespace zapnix
