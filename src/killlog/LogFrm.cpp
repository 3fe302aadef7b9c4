#include "killlog/LogFrm.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/MessagePump.h"

namespace zapnix {
namespace {

enum : int { LogList = 3001, Command3, Command2, Command1 };

constexpr ControlSpec kLayout[] = {
    {LogList, "LogList", ControlKind::ListView, "", 8, 8, 545, 345, LVS_OWNERDATA},
    {Command3, "Command3", ControlKind::Button, "Clear Selected", 272, 360, 89, 25},
    {Command2, "Command2", ControlKind::Button, "Clear Log", 368, 360, 89, 25},
    {Command1, "Command1", ControlKind::Button, "Close", 464, 360, 89, 25},
};

constexpr VirtualListView::Column kColumns[] = {
    {"Killed Window", 333},
    {"Date", 200},
};

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

std::span<const ControlSpec> LogFrm::Layout() {
    return kLayout;
}

std::unique_ptr<LogFrm> LogFrm::Create(HWND owner, HICON icon, const std::string& logPath) {
    std::unique_ptr<LogFrm> frm(new LogFrm());
    if (!RegisterClassOnce(kLogClassName, icon, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return nullptr;
    const DpiScale scale = DpiScale::ForWindow(nullptr);
    const SIZE outer = OuterSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle, false, scale);
    if (!frm->CreateThisWindow(kLogClassName, "Zapnix Popup Killer", kStyle, kExStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               outer.cx, outer.cy, owner, nullptr))
        return nullptr;
    frm->font_ = std::make_unique<UiFont>(scale);
    CreateControls(frm->Hwnd(), kLayout, scale, frm->font_->Handle());
    LogFrm* self = frm.get();
    frm->logList_.Attach(
        GetDlgItem(frm->Hwnd(), LogList), kColumns, scale,
        [self](std::size_t row, int column) -> std::string {
            if (row >= self->log_.Count()) return {};
            return column == 0 ? self->log_.Row(row).title : self->log_.Row(row).date;
        },
        [self](std::size_t row) { return row < self->log_.Count() && self->log_.Row(row).ticked; },
        [self](std::size_t row) {
            if (row >= self->log_.Count()) return;
            self->log_.Row(row).ticked = !self->log_.Row(row).ticked;
            self->logItemChecked_ = true;
        });
    RegisterDialogWindow(frm->Hwnd());

    frm->logPath_ = logPath;
    frm->logItemChecked_ = false;
    LoadKillLogFromFile(logPath, frm->log_);
    frm->LogChanged();
    return frm;
}

void LogFrm::Show() {
    if (!IsWindowVisible(Hwnd())) {
        RECT work{}, outer{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(Hwnd(), &outer);
        const LONG x = work.left + std::max(0L, (work.right - work.left - (outer.right - outer.left)) / 2);
        const LONG y = work.top + std::max(0L, (work.bottom - work.top - (outer.bottom - outer.top)) / 2);
        SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
}

void LogFrm::RecordKill(const std::string& title, const std::string& date) {
    log_.Append({title, date});
    LogChanged();
    SaveWinList();
}

bool LogFrm::SaveWinList() {
    return SaveKillLogToFile(logPath_, log_);
}

void LogFrm::LogChanged() {
    logList_.SetRowCount(log_.Count());
}

void LogFrm::ClearSelected() {
    const TickedRemoval outcome = log_.ClearSelected(logItemChecked_);
    LogChanged();
    if (outcome == TickedRemoval::NoRows)
        ShowInformation(Hwnd(), "There are currently no log entries to delete!");
    else if (outcome == TickedRemoval::NothingTicked)
        ShowInformation(Hwnd(), "Please select at least one log entry to remove!");
}

void LogFrm::OnCommand(int id) {
    switch (id) {
        case Command1:
            SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
            break;
        case Command2:
            log_.Clear();
            LogChanged();
            break;
        case Command3:
            ClearSelected();
            break;
        default:
            break;
    }
}

LRESULT LogFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case WM_COMMAND:
                OnCommand(LOWORD(wParam));
                return 0;
            case WM_NOTIFY:
                if (logList_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
                break;
            case WM_CLOSE:
                DestroyWindow(Hwnd());
                return 0;
            case WM_DESTROY:
                // Whatever closes the viewer, the log is saved: afterwards it lives only in the file.
                SaveWinList();
                UnregisterDialogWindow(Hwnd());
                return 0;
            default:
                break;
        }
    } catch (...) {
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
