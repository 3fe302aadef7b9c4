#include "settings/SettingsFrm.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "profile/ProfileFile.h"
#include "settings/SettingsCommands.h"
#include "settings/SettingsIds.h"

namespace zapnix {
namespace {

using namespace ids::settings;

// Places inside the frames are the frame's place plus the control's place within it.
constexpr DWORD kTickBox = BS_AUTOCHECKBOX;
constexpr ControlSpec kLayout[] = {
    {Frame1, "Frame1", ControlKind::GroupBox, "Settings", 8, 8, 297, 57},
    {Label1, "Label1", ControlKind::Label, "Please modify the settings as desired, below.", 16, 32, 281, 17},
    {Frame2, "Frame2", ControlKind::GroupBox, "", 8, 72, 297, 153},
    {Label2, "Label2", ControlKind::Label, "Popup check delay:", 16, 96, 185, 17},
    {Text1, "Text1", ControlKind::TextBox, "", 216, 96, 33, 19, ES_READONLY},
    {Command1, "Command1", ControlKind::Button, "+", 256, 96, 17, 21},
    {Command2, "Command2", ControlKind::Button, "-", 280, 96, 17, 21},
    {Label3, "Label3", ControlKind::Label, "Enabled at system startup:", 16, 128, 185, 17},
    {Check1, "Check1", ControlKind::Button, "", 216, 128, 17, 17, kTickBox},
    {Label4, "Label4", ControlKind::Label, "Minimized at startup:", 16, 160, 185, 17},
    {Check2, "Check2", ControlKind::Button, "", 216, 160, 17, 17, kTickBox},
    {Label5, "Label5", ControlKind::Label, "Pop Killer Enabled:", 16, 192, 185, 17},
    {Check3, "Check3", ControlKind::Button, "", 216, 192, 17, 17, kTickBox},
    {Command3, "Command3", ControlKind::Button, "Apply", 240, 232, 65, 25},
};

void Tick(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Ticked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

}  // namespace

std::unique_ptr<SettingsFrm> SettingsFrm::Create(const WindowContext& context, std::string profilePath,
                                                 MainWindowHooks hooks) {
    std::unique_ptr<SettingsFrm> frm(new SettingsFrm(context.runKey));
    if (!frm->CreateForm(kSettingsClassName, context.icon, context.owner, kClientWidth, kClientHeight, kLayout))
        return nullptr;
    frm->profilePath_ = std::move(profilePath);
    frm->hooks_ = std::move(hooks);

    // An unreadable file shows what a missing one would: the dialog's own defaults.
    const Settings stored = ReadSettings(LoadIniFile(frm->profilePath_).value_or(IniDocument{}));
    HWND hwnd = frm->Hwnd();
    Tick(hwnd, Check2, stored.minimized);
    Tick(hwnd, Check1, stored.startup);
    Tick(hwnd, Check3, stored.enabled);
    frm->delay_ = stored.interval;
    frm->ShowDelay();

    const DpiScale scale = DpiScale::ForWindow(hwnd);
    SetWindowPos(hwnd, nullptr, scale(kLeft), scale(kTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return frm;
}

void SettingsFrm::ShowDelay() {
    SetDlgItemTextA(Hwnd(), Text1, std::to_string(delay_).c_str());
}

void SettingsFrm::Apply() {
    HWND hwnd = Hwnd();
    const Settings chosen{delay_, Ticked(hwnd, Check2), Ticked(hwnd, Check1), Ticked(hwnd, Check3)};
    if (const auto refusal = ApplyRefusal(chosen)) {
        ShowInformation(hwnd, *refusal);
        return;
    }
    const AppliedSettings applied = ApplySettings(chosen, profilePath_, registry_, RunEntryFor(ExecutablePath()));
    if (hooks_.switchKiller) hooks_.switchKiller(chosen.enabled, applied.checkPeriodMs);
    const AppliedMessage message = MessageFor(applied, profilePath_);
    // The main window stays usable while the box is open: a program ended meanwhile takes this dialog
    // and its object along, so nothing of the object is touched after the box.
    const std::function<void()> showMain = hooks_.show;
    if (message.error)
        ShowError(hwnd, message.text);
    else
        ShowInformation(hwnd, message.text);
    if (!IsWindow(hwnd)) return;
    DestroyWindow(hwnd);
    if (showMain) showMain();
}

LRESULT SettingsFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case Command1:
                delay_ = RaiseDelay(delay_);
                ShowDelay();
                return 0;
            case Command2:
                delay_ = LowerDelay(delay_);
                ShowDelay();
                return 0;
            case Command3:
                Apply();
                return 0;
            default:
                break;
        }
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
