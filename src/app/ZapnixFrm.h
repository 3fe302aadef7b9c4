#pragma once
// The main window: the rule list, the check timer, the tray icon, and the program's start and end.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/AboutFrm.h"
#include "app/MainMenu.h"
#include "app/TrayEvents.h"
#include "app/TrayIcon.h"
#include "capture/CaptureFrm.h"
#include "engine/PopupKiller.h"
#include "killlog/LogFrm.h"
#include "picking/DragTargetControl.h"
#include "picking/WinPick.h"
#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "platform/VirtualListView.h"
#include "platform/WindowContext.h"
#include "platform/WindowSlot.h"
#include "rules/RuleCommands.h"
#include "rules/RuleList.h"
#include "rules/WinEditFrm.h"
#include "update/UpgradeFrm.h"
#include "settings/SettingsFrm.h"

namespace zapnix {

inline constexpr char kMainClassName[] = "ZapnixFrm";

// The kills of the check pass go to the kill log that this window keeps.
class ZapnixFrm : public BaseWindow<ZapnixFrm>, public KillRecorder {
public:
    // The layout of the main window's client area (pixels at 96 dots per inch).
    static constexpr int kClientWidth = 650;
    static constexpr int kClientHeight = 454;
    static std::span<const ControlSpec> Layout();

    // `context` must outlive the window.
    explicit ZapnixFrm(const WindowContext& context) : context_(context), tray_(context.notificationArea) {}
    ~ZapnixFrm() override;

    // The load step: creates the window, loads the rules from the profile file in the program's folder,
    // hides to the tray or arms the check timer as the settings say, and shows the window unless it was
    // hidden.
    bool Create();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    RuleList& Rules() { return rules_; }
    // The rule list changed: the view shows the model's rows again.
    void RulesChanged();
    std::optional<std::uint32_t> CheckPeriodMs() const { return checkPeriodMs_; }
    // Starts the check timer with the given period, or stops it (nullopt).
    void SetCheckPeriod(std::optional<std::uint32_t> periodMs);
    // Called on every tick of the check timer: the pop-up killer's check pass unless replaced.
    void SetCheckPass(std::function<void()> pass) { checkPass_ = std::move(pass); }
    void RecordKill(const std::string& title) override;
    void ReportUndeliveredClose(const std::string& title) override;
    // The kill-log viewer if it exists, shown or hidden.
    LogFrm* ExistingLogFrm() { return logFrm_.Get(); }
    // The rule editor and the picker while they are open.
    WinEditFrm* ExistingEditor() { return editor_.Get(); }
    WinPick* ExistingPicker() { return picker_.Get(); }
    CaptureFrm* ExistingCapture() { return capture_.Get(); }

    void HideToTray();
    const TrayIcon& Tray() const { return tray_; }
    // Every close path ends here: the question, then saving, sliding off the screen and ending.
    void RequestClose();
    // Opens the address in the user's default browser; whether one came up is not known.
    void LaunchURL(const std::string& navTo);

private:
    void AttachRuleList();
    void OnCommand(int id);
    void OnTrayNotify(LPARAM lParam);
    void RestoreFromTray();
    void OpenFromTray();
    void ShowLog();
    void ShowUpgrade();
    void ShowSettings();
    void ShowAbout();
    void OpenHomepage();
    void OpenForum();
    void ShowCapture();
    // Saves the rule list; on failure asks whether to close anyway. True: go on closing.
    bool SaveWinList();
    bool ConfirmClose();
    void SlideOut();
    void EndProgram();
    void AddRuleFromText();
    void DeleteTicked();
    void GrabTitle();
    void EditRule(std::size_t clickedRow);
    void OnDrop(WindowHandle window);
    LogFrm* ObtainLogFrm();

    const WindowContext& context_;
    std::string profilePath_;
    FileState profileState_ = FileState::Missing;  // how the rule file was found at start-up
    std::string logPath_;
    RuleList rules_;
    VirtualListView winList_;
    TrayIcon tray_;
    TrayEvents trayEvents_;
    TrayMenu trayMenu_;
    UINT taskbarCreated_ = 0;
    std::optional<std::uint32_t> checkPeriodMs_;
    std::function<void()> checkPass_;
    WindowSlot<LogFrm> logFrm_;
    WindowSlot<AboutFrm> about_;
    WindowSlot<WinEditFrm> editor_;
    WindowSlot<WinPick> picker_;
    WindowSlot<UpgradeFrm> upgrade_;
    WindowSlot<SettingsFrm> settings_;
    WindowSlot<CaptureFrm> capture_;
    DragTargetControl dragTarget_;
    bool ruleTicked_ = false;
    bool closing_ = false;  // the closing question is open, or its Yes is being carried out
    bool ending_ = false;   // the program is ending: its other windows are being closed
};

}  // namespace zapnix
