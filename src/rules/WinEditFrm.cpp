#include "rules/WinEditFrm.h"

#include <string>

#include "platform/Dialogs.h"
#include "rules/WinEditIds.h"
#include "platform/MessagePump.h"

namespace zapnix {
namespace {

using namespace ids::edit;

constexpr ControlSpec kLayout[] = {
    {Frame1, "Frame1", ControlKind::GroupBox, "Modify Window", 8, 8, 401, 57},
    {Label1, "Label1", ControlKind::Label, "You may modify the attributes for this window killer using the form below.",
     16, 32, 385, 17},
    {Label2, "Label2", ControlKind::Label, "Window Name:", 8, 82, 73, 17},
    {Text1, "Text1", ControlKind::TextBox, "", 96, 80, 313, 21},
    {Label3, "Label3", ControlKind::Label, "Killer Active:", 8, 114, 73, 17},
    {Combo1, "Combo1", ControlKind::ComboBox, "", 96, 112, 129, 120},
    {Label4, "Label4", ControlKind::Label, "Title Match:", 8, 146, 73, 17},
    {Combo2, "Combo2", ControlKind::ComboBox, "", 96, 144, 129, 120},
    {Label5, "Label5", ControlKind::Label, "Case Sensitive:", 8, 178, 73, 17},
    {Combo3, "Combo3", ControlKind::ComboBox, "", 96, 176, 129, 120},
    {Command1, "Command1", ControlKind::Button, "Apply", 344, 176, 65, 25},
};

// What an emptied combo box falls back to: the cells of a new rule.
const char* DefaultFor(int combo) {
    switch (combo) {
        case Combo1:
            return "Yes";
        case Combo2:
            return "Exact";
        case Combo3:
            return "No";
        default:
            return nullptr;
    }
}

void Fill(HWND combo, std::initializer_list<const char*> items, const std::string& text) {
    for (const char* item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    // The cell's text as it stands, also when it is none of the offered items.
    SetWindowTextA(combo, text.c_str());
}

}  // namespace

std::unique_ptr<WinEditFrm> WinEditFrm::Create(HWND owner, HICON icon, const WindowKiller& rule, ApplySink apply,
                                               ClosedSink closed) {
    std::unique_ptr<WinEditFrm> frm(new WinEditFrm());
    if (!frm->CreateForm(kEditClassName, icon, owner, kClientWidth, kClientHeight, kLayout))
        return nullptr;
    frm->apply_ = std::move(apply);
    frm->closed_ = std::move(closed);
    HWND hwnd = frm->Hwnd();
    SetDlgItemTextA(hwnd, Text1, rule.title.c_str());
    Fill(GetDlgItem(hwnd, Combo1), {"Yes", "No"}, rule.active);
    Fill(GetDlgItem(hwnd, Combo2), {"Exact", "Contains", "Begins", "Ends"}, rule.match);
    Fill(GetDlgItem(hwnd, Combo3), {"Yes", "No"}, rule.caseSensitive);
    // The main window hides while the editor is open: the editor takes the middle of the screen.
    CentreOnScreen(hwnd);
    frm->Bring();
    return frm;
}

void WinEditFrm::Apply() {
    HWND hwnd = Hwnd();
    const WindowKiller edited{ControlText(hwnd, Text1), ControlText(hwnd, Combo1), ControlText(hwnd, Combo2),
                              ControlText(hwnd, Combo3)};
    switch (apply_(edited)) {
        case ApplyOutcome::EmptyTitle:
            ShowInformation(hwnd, "Please enter a valid window title.");
            return;
        case ApplyOutcome::RuleGone:
            ShowError(hwnd,
                      "This window killer was changed or deleted while you were editing it. Your changes were not "
                      "applied.");
            break;
        case ApplyOutcome::Applied:
            break;
    }
    DestroyWindow(hwnd);
}

void WinEditFrm::OnCommand(int id, int code) {
    if (id == Command1 && code == BN_CLICKED) {
        Apply();
        return;
    }
    // Typing is the only way to empty a combo box; picking an item never does.
    if (code == CBN_EDITCHANGE) {
        HWND combo = GetDlgItem(Hwnd(), id);
        if (const char* fallback = DefaultFor(id); fallback && GetWindowTextLengthA(combo) == 0)
            SetWindowTextA(combo, fallback);
    }
}

LRESULT WinEditFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DESTROY:
            if (closed_) closed_();
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
