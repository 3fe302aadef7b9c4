#include "killlog/LogFrm.h"

#include <commctrl.h>

#include "killlog/LogIds.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/Trace.h"

namespace zapnix {
namespace {

using namespace ids::log;

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

}  // namespace

std::span<const ControlSpec> LogFrm::Layout() {
    return kLayout;
}

std::unique_ptr<LogFrm> LogFrm::Create(HWND owner, HICON icon, const std::string& logPath) {
    std::unique_ptr<LogFrm> frm(new LogFrm());
    if (!frm->CreateForm(kLogClassName, icon, owner, kClientWidth, kClientHeight, kLayout))
        return nullptr;
    const DpiScale scale = DpiScale::ForWindow(frm->Hwnd());
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

    frm->logFile_ = KillLogFile(logPath);
    frm->logItemChecked_ = false;
    frm->logFile_.Load(frm->log_);
    frm->LogChanged();
    return frm;
}

void LogFrm::Show() {
    if (!IsWindowVisible(Hwnd())) CentreOnScreen(Hwnd());
    Bring();
}

void LogFrm::RecordKill(const std::string& title, const std::string& date) {
    log_.Append({title, date});
    LogChanged();
    if (!SaveWinList()) TraceFailure("the kill log could not be saved to " + logFile_.Path());
}

bool LogFrm::SaveWinList() {
    // An unread log file is read first and its entries go before the new ones: the view follows.
    const bool saved = logFile_.Save(log_);
    LogChanged();
    return saved;
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

LRESULT LogFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            if (logList_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
            break;
        case WM_DESTROY:
            // Whatever closes the viewer, the log is saved: afterwards it lives only in the file.
            SaveWinList();
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
