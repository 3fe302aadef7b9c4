#include "app/OtherWindows.h"

#include "app/Publisher.h"
#include "app/ZapnixFrm.h"
#include "picking/BrowserWindows.h"
#include "platform/Dialogs.h"
#include "rules/RuleCommands.h"

namespace zapnix {

void OtherWindows::ShowLog() {
    if (LogFrm* log = log_.Obtain([this] { return LogFrm::Create(context_.owner, context_.icon, killLog_); }))
        log->Show();
}

void OtherWindows::ShowUpgrade() {
    if (UpgradeFrm* upgrade = upgrade_.Obtain([this] {
            return UpgradeFrm::Create(context_, UpgradeServices{context_.http, ServerBase(), ReleasePublicKey()});
        }))
        upgrade->Show();
}

void OtherWindows::ShowSettings() {
    SettingsFrm* settings = settings_.Obtain([this] {
        return SettingsFrm::Create(context_, rules_.Path(),
                                   {[this](bool enabled, std::optional<std::uint32_t> periodMs) {
                                        killer_.Switch(enabled, periodMs);
                                    },
                                    // Shown from the tray, the window comes back while the icon stays.
                                    [this] { ShowWindow(main_.Hwnd(), SW_SHOW); }});
    });
    if (settings) settings->Bring();
}

void OtherWindows::ShowAbout() {
    if (AboutFrm* about = about_.Obtain([this] { return AboutFrm::Create(context_.owner, context_.icon); }))
        about->Show();
}

void OtherWindows::ShowCapture() {
    if (CaptureFrm* capture =
            capture_.Obtain([this] { return CaptureFrm::Create(context_.owner, context_.icon, main_.Hwnd()); }))
        capture->Bring();
}

void OtherWindows::ShowPicker() {
    WinPick* picker = picker_.Obtain([this] {
        return WinPick::Create(context_.owner, context_.icon,
                               [this](const std::string& title) { main_.SetTitleText(title); });
    });
    if (!picker) return;
    picker->AddBrowserWindows(FindBrowserWindows(context_.windows, browserFrames_));
    picker->Bring();
}

void OtherWindows::EditRule(std::size_t clickedRow) {
    RuleList& rules = rules_.Rules();
    // Equal titles resolve to the topmost of them: that is the rule the editor works on.
    const auto row = FindRule(rules, rules.Row(clickedRow).title);
    if (!row) {
        ShowError(main_.Hwnd(), "Unable to locate such a window killer.");
        return;
    }
    // A click while an editor is open starts over with the clicked rule.
    editor_.Close();
    const RuleEdit edit{*row, rules.Row(*row)};
    ShowWindow(main_.Hwnd(), SW_HIDE);
    editor_.Obtain([&] {
        return WinEditFrm::Create(
            context_.owner, context_.icon, edit.original,
            [this, edit](const WindowKiller& edited) { return ApplyEdit(rules_.Rules(), edit, edited); },
            [this] { main_.EditorClosed(); });
    });
    if (!editor_.Get()) ShowWindow(main_.Hwnd(), SW_SHOW);
}

void OtherWindows::CloseAll() {
    editor_.Close();
    picker_.Close();
    settings_.Close();
    capture_.Close();
    log_.Close();
    upgrade_.Close();
    about_.Close();
}

}  // namespace zapnix
