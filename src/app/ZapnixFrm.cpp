#include "app/ZapnixFrm.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/ServerAddress.h"
#include "app/ZapnixIds.h"
#include "settings/StartupSettings.h"
#include "picking/DragTarget.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/ShortDate.h"
#include "profile/ProfileFile.h"
#include "rules/RuleFile.h"

namespace zapnix {
namespace {

constexpr ControlSpec kLayout[] = {
    {ids::Frame1, "Frame1", ControlKind::GroupBox, "Welcome", 8, 8, 633, 57},
    {ids::Label1, "Label1", ControlKind::Label,
     "Welcome to Zapnix. To prevent annoying pop up windows please specify the window titles you wish to "
     "block below. If a window pops up with a title matching any of the titles in your blocked list then the "
     "window will be automatically closed by Zapnix.",
     16, 24, 617, 33},
    {ids::WinTxt, "winTxt", ControlKind::TextBox, "", 8, 80, 633, 19},
    {ids::PicClick, "picClick", ControlKind::Picture, "", 8, 112, 33, 33},
    {ids::Label3, "Label3", ControlKind::Label,
     "Try clicking the red icon and dragging it to the title bar of a window you want to close!", 48, 112, 409, 17},
    {ids::Label5, "Label5", ControlKind::Label,
     "Also try clicking the grab title button for an efficient way to add open popups to your blocked list.", 48, 128,
     457, 17},
    {ids::Command5, "Command5", ControlKind::Button, "Grab Title", 520, 112, 57, 25},
    {ids::Command4, "Command4", ControlKind::Button, "Add Rule", 584, 112, 57, 25},
    {ids::WinList, "WinList", ControlKind::ListView, "", 8, 152, 633, 257, LVS_OWNERDATA},
    {ids::Label2, "Label2", ControlKind::Label, "Tick the rules you no longer need, then click Delete Ticked.", 8, 432,
     321, 17},
    {ids::Command3, "Command3", ControlKind::Button, "Delete Ticked", 360, 424, 89, 25},
    {ids::Command2, "Command2", ControlKind::Button, "Hide Zapnix", 456, 424, 89, 25},
    {ids::Command1, "Command1", ControlKind::Button, "Save and Exit", 552, 424, 89, 25},
};

constexpr VirtualListView::Column kWinListColumns[] = {
    {"Window Title", 370},
    {"Active", 60},
    {"Match", 80},
    {"Case Sensitive", 100},
};

// No WS_CLIPCHILDREN: a frame (group box) leaves its inside for the parent to paint.
}  // namespace

std::span<const ControlSpec> ZapnixFrm::Layout() {
    return kLayout;
}

ZapnixFrm::~ZapnixFrm() {
    if (Hwnd()) tray_.Remove();
}

bool ZapnixFrm::Create() {
    profilePath_ = context_.folder + "\\" + std::string(kProfileFileName);
    logPath_ = context_.folder + "\\" + std::string(kKillLogFileName);
    if (!CreateForm(kMainClassName, context_.icon, context_.owner, kClientWidth, kClientHeight, kLayout,
                    CreateMainMenuBar()))
        return false;
    SendDlgItemMessageA(Hwnd(), ids::PicClick, STM_SETICON, reinterpret_cast<WPARAM>(context_.icon), 0);
    AttachRuleList();
    dragTarget_.Attach(GetDlgItem(Hwnd(), ids::PicClick), context_.icon,
                       [this](WindowHandle window) { OnDrop(window); });
    CentreOnScreen(Hwnd());
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

    // The load step proper: the rules, then the settings, from one read of the profile file.
    const LoadedIni profile = LoadIniFileWithState(profilePath_);
    profileState_ = profile.state;
    LoadWinList(profile.document, rules_);
    RulesChanged();
    const StartupSettings settings = ReadStartupSettings(profile.document);
    if (settings.startHidden) HideToTray();
    SetCheckPeriod(settings.checkPeriodMs);
    ruleTicked_ = false;
    if (!settings.startHidden) {
        ShowWindow(Hwnd(), SW_SHOW);
        UpdateWindow(Hwnd());
    }
    // A file that is there but held by another program is not an empty list: saying nothing would let
    // the next save replace the user's rules with none.
    if (profileState_ == FileState::Unreadable)
        ShowError(Hwnd(), "The window killers could not be read from " + profilePath_ +
                              ". Another program may be using the file.\r\n\r\nZapnix runs without them and "
                              "will not write over that file until it is started again.");
    return true;
}

void ZapnixFrm::AttachRuleList() {
    winList_.Attach(
        GetDlgItem(Hwnd(), ids::WinList), kWinListColumns, DpiScale::ForWindow(Hwnd()),
        [this](std::size_t row, int column) -> std::string {
            if (row >= rules_.Count() || column < 0) return {};
            return std::string(std::as_const(rules_).Row(row).Cell(static_cast<std::size_t>(column)));
        },
        [this](std::size_t row) { return row < rules_.Count() && rules_.Row(row).ticked; },
        [this](std::size_t row) {
            if (row >= rules_.Count()) return;
            rules_.Row(row).ticked = !rules_.Row(row).ticked;
            ruleTicked_ = true;
        },
        [this](std::size_t row) { EditRule(row); });
}

LogFrm* ZapnixFrm::ObtainLogFrm() {
    return logFrm_.Obtain([this] { return LogFrm::Create(context_.owner, context_.icon, logPath_); });
}

void ZapnixFrm::ShowLog() {
    if (LogFrm* log = ObtainLogFrm()) log->Show();
}

void ZapnixFrm::ShowUpgrade() {
    if (UpgradeFrm* upgrade = upgrade_.Obtain([this] {
            return UpgradeFrm::Create(context_, UpgradeServices{context_.http, ServerBase()});
        }))
        upgrade->Show();
}

void ZapnixFrm::ShowAbout() {
    if (AboutFrm* about = about_.Obtain([this] { return AboutFrm::Create(context_.owner, context_.icon); }))
        about->Show();
}

void ZapnixFrm::LaunchURL(const std::string& navTo) {
    context_.shell.Open(navTo);
}

void ZapnixFrm::OpenHomepage() {
    LaunchURL(std::string(ServerBase()) + "/");
}

void ZapnixFrm::OpenForum() {
    LaunchURL(std::string(ServerBase()) + "/perl/forum/gforum.cgi");
}

void ZapnixFrm::ShowCapture() {
    CaptureFrm* capture =
        capture_.Obtain([this] { return CaptureFrm::Create(context_.owner, context_.icon, Hwnd()); });
    if (capture) capture->Bring();
}

void ZapnixFrm::RecordKill(const std::string& title) {
    // The first kill of a run creates the viewer hidden, which loads the stored log first.
    if (LogFrm* log = ObtainLogFrm()) log->RecordKill(title, TodayShortDate());
}

void ZapnixFrm::ShowSettings() {
    SettingsFrm* settings = settings_.Obtain([this] {
        return SettingsFrm::Create(context_, profilePath_,
                                   {[this](std::optional<std::uint32_t> periodMs) { SetCheckPeriod(periodMs); },
                                    // Shown from the tray, the window comes back while the icon stays.
                                    [this] { ShowWindow(Hwnd(), SW_SHOW); }});
    });
    if (settings) settings->Bring();
}

void ZapnixFrm::AddRuleFromText() {
    if (!AddRule(rules_, ControlText(Hwnd(), ids::WinTxt))) {
        ShowInformation(Hwnd(), "Please enter a window title before adding a new rule.");
        return;
    }
    RulesChanged();
}

void ZapnixFrm::DeleteTicked() {
    const TickedRemoval outcome = rules_.DeleteTicked(ruleTicked_);
    RulesChanged();
    if (outcome == TickedRemoval::NoRows)
        ShowInformation(Hwnd(), "There are currently no windows to delete!");
    else if (outcome == TickedRemoval::NothingTicked)
        ShowInformation(Hwnd(), "Please select at least one window to remove!");
}

void ZapnixFrm::GrabTitle() {
    WinPick* picker = picker_.Obtain([this] {
        return WinPick::Create(context_.owner, context_.icon, [this](const std::string& title) {
            SetDlgItemTextA(Hwnd(), ids::WinTxt, title.c_str());
        });
    });
    if (!picker) return;
    picker->AddBrowserWindows(FindBrowserWindows(context_.windows, context_.textCase));
    picker->Bring();
}

void ZapnixFrm::EditRule(std::size_t clickedRow) {
    // Equal titles resolve to the topmost of them: that is the rule the editor works on.
    const auto row = FindRule(rules_, rules_.Row(clickedRow).title);
    if (!row) {
        ShowError(Hwnd(), "Unable to locate such a window killer.");
        return;
    }
    // A click while an editor is open starts over with the clicked rule.
    editor_.Close();
    const RuleEdit edit{*row, rules_.Row(*row)};
    ShowWindow(Hwnd(), SW_HIDE);
    editor_.Obtain([&] {
        return WinEditFrm::Create(
            context_.owner, context_.icon, edit.original,
            [this, edit](const WindowKiller& edited) { return ApplyEdit(rules_, edit, edited); },
            [this] {
                RulesChanged();
                // While the program ends the main window stays as it is: hidden, it must not flash up.
                if (!ending_) ShowWindow(Hwnd(), SW_SHOW);
            });
    });
    if (!editor_.Get()) ShowWindow(Hwnd(), SW_SHOW);
}

void ZapnixFrm::OnDrop(WindowHandle window) {
    const DropResult result = InspectDroppedWindow(context_.windows, context_.textCase, window);
    if (result.accepted)
        SetDlgItemTextA(Hwnd(), ids::WinTxt, result.title.c_str());
    else
        ShowError(Hwnd(), RefusedDropMessage(result));
}

void ZapnixFrm::RulesChanged() {
    winList_.SetRowCount(rules_.Count());
}

void ZapnixFrm::SetCheckPeriod(std::optional<std::uint32_t> periodMs) {
    KillTimer(Hwnd(), ids::kCheckTimerId);
    checkPeriodMs_.reset();
    // A period of 0 never fires: the system's timer would take it as its shortest period instead.
    if (periodMs && *periodMs > 0 && SetTimer(Hwnd(), ids::kCheckTimerId, *periodMs, nullptr))
        checkPeriodMs_ = periodMs;
}

void ZapnixFrm::HideToTray() {
    ShowWindow(Hwnd(), SW_HIDE);
    tray_.Add(Hwnd(), context_.icon);
}

void ZapnixFrm::RestoreFromTray() {
    SetForegroundWindow(Hwnd());
    tray_.Remove();
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd());
}

void ZapnixFrm::OnTrayNotify(LPARAM lParam) {
    const auto code = static_cast<std::int32_t>(LOWORD(lParam));
    switch (trayEvents_.OnNotify(IsWindowVisible(Hwnd()) != FALSE, code)) {
        case TrayAction::Restore:
            RestoreFromTray();
            break;
        case TrayAction::ShowMenu: {
            SetForegroundWindow(Hwnd());
            if (const int chosen = trayMenu_.Track(Hwnd())) OnCommand(chosen);
            break;
        }
        case TrayAction::None:
            break;
    }
}

void ZapnixFrm::OpenFromTray() {
    ShowWindow(Hwnd(), SW_SHOW);
    tray_.Remove();
}

void ZapnixFrm::OnCommand(int id) {
    // Buttons, the menu bar and the tray menu: one row per command.
    struct Route {
        int id;
        void (ZapnixFrm::*run)();
    };
    static constexpr Route kRoutes[] = {
        {ids::Command1, &ZapnixFrm::RequestClose},    {ids::MenuClose, &ZapnixFrm::RequestClose},
        {ids::TrayClose, &ZapnixFrm::RequestClose},   {ids::Command2, &ZapnixFrm::HideToTray},
        {ids::Command3, &ZapnixFrm::DeleteTicked},    {ids::Command4, &ZapnixFrm::AddRuleFromText},
        {ids::Command5, &ZapnixFrm::GrabTitle},       {ids::TrayOpen, &ZapnixFrm::OpenFromTray},
        {ids::MenuLog, &ZapnixFrm::ShowLog},          {ids::MenuUpgrade, &ZapnixFrm::ShowUpgrade},
        {ids::MenuSettings, &ZapnixFrm::ShowSettings}, {ids::TraySettings, &ZapnixFrm::ShowSettings},
        {ids::MenuAbout, &ZapnixFrm::ShowAbout},       {ids::TrayAbout, &ZapnixFrm::ShowAbout},
        {ids::MenuHome, &ZapnixFrm::OpenHomepage},     {ids::MenuForum, &ZapnixFrm::OpenForum},
        {ids::MenuCapture, &ZapnixFrm::ShowCapture},
    };
    for (const Route& route : kRoutes) {
        if (route.id == id) {
            (this->*route.run)();
            return;
        }
    }
}

bool ZapnixFrm::ConfirmClose() {
    return AskQuestion(Hwnd(), std::string("Are you sure you want to close ") + kProgramTitle + "?");
}

bool ZapnixFrm::SaveWinList() {
    if (SaveWinListToFile(profilePath_, rules_, profileState_)) return true;
    if (profileState_ == FileState::Unreadable)
        return AskAfterError(Hwnd(), "The window killers were not saved: " + profilePath_ +
                                         " could not be read when Zapnix started, and saving now would replace "
                                         "the rules it holds.\r\n\r\nClose Zapnix anyway? Choose No to keep "
                                         "Zapnix running.");
    return AskAfterError(Hwnd(), "The window killers could not be saved to " + profilePath_ +
                                     ".\r\n\r\nClose Zapnix anyway? The changes made to them since Zapnix "
                                     "started will be lost.\r\nChoose No to keep Zapnix running.");
}

void ZapnixFrm::RequestClose() {
    // One question at a time: a second close request while the first is being answered is dropped.
    if (closing_) return;
    closing_ = true;
    if (!ConfirmClose() || !SaveWinList()) {
        closing_ = false;
        return;
    }
    SlideOut();
    tray_.Remove();
    EndProgram();
}

void ZapnixFrm::EndProgram() {
    // The other windows close as by their own close commands: the kill-log viewer saves the log.
    ending_ = true;
    editor_.Close();
    picker_.Close();
    settings_.Close();
    capture_.Close();
    logFrm_.Close();
    upgrade_.Close();
    about_.Close();
    DestroyWindow(Hwnd());
}

void ZapnixFrm::SlideOut() {
    // Invisible when hidden: nothing to show, so no reason to keep the user waiting.
    if (!IsWindowVisible(Hwnd())) return;
    RECT outer{};
    GetWindowRect(Hwnd(), &outer);
    const int height = outer.bottom - outer.top;
    const int step = std::max(1, static_cast<int>(outer.bottom) / 25);
    for (int top = outer.top; top >= -height;) {
        top -= step;
        SetWindowPos(Hwnd(), nullptr, outer.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!WaitProcessingMessages(10) || !Hwnd()) return;
    }
}

LRESULT ZapnixFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            if (winList_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
            break;
        case WM_TIMER:
            if (wParam == ids::kCheckTimerId) {
                if (checkPass_) checkPass_();
                return 0;
            }
            if (wParam == ids::kTrayRetryTimerId) {
                tray_.OnRetryTimer();
                return 0;
            }
            break;
        case kTrayCallbackMessage:
            // An ordinary mouse move cannot reach a hidden window: then it is the tray speaking.
            if (!IsWindowVisible(Hwnd())) {
                OnTrayNotify(lParam);
                return 0;
            }
            break;
        case WM_CLOSE:
            RequestClose();
            return 0;
        case WM_QUERYENDSESSION:
            if (closing_) return FALSE;
            closing_ = true;
            if (ConfirmClose() && SaveWinList()) return TRUE;
            closing_ = false;
            return FALSE;
        case WM_ENDSESSION:
            if (wParam) {
                tray_.Remove();
                EndProgram();
            } else {
                closing_ = false;
            }
            return 0;
        case WM_DESTROY:
            KillTimer(Hwnd(), ids::kCheckTimerId);
            PostQuitMessage(0);
            return 0;
        default:
            if (taskbarCreated_ != 0 && message == taskbarCreated_) {
                tray_.OnTaskbarCreated();
                return 0;
            }
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
