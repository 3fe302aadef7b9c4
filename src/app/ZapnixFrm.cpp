#include "app/ZapnixFrm.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/OtherWindows.h"
#include "app/Publisher.h"
#include "app/ZapnixIds.h"
#include "picking/DragTarget.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"

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

}  // namespace

ZapnixFrm::~ZapnixFrm() {
    if (Hwnd()) tray_.Remove();
}

bool ZapnixFrm::Create(const StartupState& startup) {
    if (!CreateForm(kMainClassName, context_.icon, context_.owner, kClientWidth, kClientHeight, kLayout,
                    CreateMainMenuBar()))
        return false;
    SendDlgItemMessageA(Hwnd(), ids::PicClick, STM_SETICON, reinterpret_cast<WPARAM>(context_.icon), 0);
    winList_.Attach(GetDlgItem(Hwnd(), ids::WinList), [this](std::size_t row) { others_.EditRule(row); });
    dragTarget_.Attach(GetDlgItem(Hwnd(), ids::PicClick), context_.icon,
                       [this](WindowHandle window) { OnDrop(window); });
    CentreOnScreen(Hwnd());
    taskbarCreated_ = context_.notificationArea.ListenForRestart(Hwnd());

    if (startup.startHidden) HideToTray();
    killer_.Attach(Hwnd());
    killer_.Switch(startup.killerEnabled, startup.checkPeriodMs);
    if (!startup.startHidden) {
        ShowWindow(Hwnd(), SW_SHOW);
        UpdateWindow(Hwnd());
    }
    // A file that is there but cannot be read is not an empty list: saying nothing would let the next
    // save replace the user's rules with none.
    if (startup.unreadableWhy)
        ShowError(Hwnd(), "The window killers could not be read from " + rules_.Path() + ": " + *startup.unreadableWhy +
                              ".\r\n\r\nZapnix runs without them and will not write over that file until it is "
                              "started again.");
    return true;
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

void ZapnixFrm::AddRuleFromText() {
    winList_.AddRule(Hwnd(), ControlText(Hwnd(), ids::WinTxt));
}

void ZapnixFrm::DeleteTicked() {
    winList_.DeleteTicked(Hwnd());
}

void ZapnixFrm::OnDrop(WindowHandle window) {
    const DropResult result = InspectDroppedWindow(context_.windows, browserFrames_, window);
    if (result.accepted)
        SetTitleText(result.title);
    else
        ShowError(Hwnd(), RefusedDropMessage(result));
}

void ZapnixFrm::SetTitleText(const std::string& title) {
    SetDlgItemTextA(Hwnd(), ids::WinTxt, title.c_str());
}

void ZapnixFrm::EditorClosed() {
    winList_.Refresh();
    // While the program ends the main window stays as it is: hidden, it must not flash up.
    if (!ending_) ShowWindow(Hwnd(), SW_SHOW);
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
        void (*run)(ZapnixFrm& main);
    };
    static constexpr Route kRoutes[] = {
        {ids::Command1, [](ZapnixFrm& m) { m.RequestClose(); }},
        {ids::MenuClose, [](ZapnixFrm& m) { m.RequestClose(); }},
        {ids::TrayClose, [](ZapnixFrm& m) { m.RequestClose(); }},
        {ids::Command2, [](ZapnixFrm& m) { m.HideToTray(); }},
        {ids::Command3, [](ZapnixFrm& m) { m.DeleteTicked(); }},
        {ids::Command4, [](ZapnixFrm& m) { m.AddRuleFromText(); }},
        {ids::TrayOpen, [](ZapnixFrm& m) { m.OpenFromTray(); }},
        {ids::MenuHome, [](ZapnixFrm& m) { m.OpenHomepage(); }},
        {ids::MenuForum, [](ZapnixFrm& m) { m.OpenForum(); }},
        {ids::Command5, [](ZapnixFrm& m) { m.others_.ShowPicker(); }},
        {ids::MenuLog, [](ZapnixFrm& m) { m.others_.ShowLog(); }},
        {ids::MenuUpgrade, [](ZapnixFrm& m) { m.others_.ShowUpgrade(); }},
        {ids::MenuSettings, [](ZapnixFrm& m) { m.others_.ShowSettings(); }},
        {ids::TraySettings, [](ZapnixFrm& m) { m.others_.ShowSettings(); }},
        {ids::MenuAbout, [](ZapnixFrm& m) { m.others_.ShowAbout(); }},
        {ids::TrayAbout, [](ZapnixFrm& m) { m.others_.ShowAbout(); }},
        {ids::MenuCapture, [](ZapnixFrm& m) { m.others_.ShowCapture(); }},
    };
    for (const Route& route : kRoutes) {
        if (route.id == id) {
            route.run(*this);
            return;
        }
    }
}

bool ZapnixFrm::ConfirmClose() {
    return AskQuestion(Hwnd(), std::string("Are you sure you want to close ") + kProgramTitle + "?");
}

bool ZapnixFrm::SaveWinList() {
    if (rules_.Save()) return true;
    if (rules_.LoadFailed())
        return AskAfterError(Hwnd(), "The window killers were not saved: " + rules_.Path() +
                                         " could not be read when Zapnix started, and saving now would replace "
                                         "the rules it holds.\r\n\r\nClose Zapnix anyway? Choose No to keep "
                                         "Zapnix running.");
    return AskAfterError(Hwnd(), "The window killers could not be saved to " + rules_.Path() +
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
    others_.CloseAll();
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
            if (killer_.OnTimer(wParam)) return 0;
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
            killer_.Stop();
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
