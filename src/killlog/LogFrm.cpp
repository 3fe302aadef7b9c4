#include "killlog/LogFrm.h"

#include <commctrl.h>

#include "killlog/LogIds.h"
#include "platform/Dialogs.h"

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

std::unique_ptr<LogFrm> LogFrm::Create(HWND owner, HICON icon, KillLogStore& store) {
    std::unique_ptr<LogFrm> frm(new LogFrm(store));
    if (!frm->CreateForm(kLogClassName, icon, owner, kClientWidth, kClientHeight, kLayout)) return nullptr;
    LogFrm* self = frm.get();
    KillLog& log = store.Log();
    // Every viewer starts with no row ticked.
    for (std::size_t row = 0; row < log.Count(); ++row) log.Row(row).ticked = false;
    frm->logList_.Attach(
        GetDlgItem(frm->Hwnd(), LogList), kColumns, DpiScale::ForWindow(frm->Hwnd()),
        [&log](std::size_t row, int column) -> std::string {
            if (row >= log.Count()) return {};
            return column == 0 ? log.Row(row).title : log.Row(row).date;
        },
        [&log](std::size_t row) { return row < log.Count() && log.Row(row).ticked; },
        [self, &log](std::size_t row) {
            if (row >= log.Count()) return;
            log.Row(row).ticked = !log.Row(row).ticked;
            self->logItemChecked_ = true;
        });
    // A kill while the viewer exists shows at once.
    store.OnKill([self] { self->LogChanged(); });
    frm->LogChanged();
    return frm;
}

void LogFrm::Show() {
    if (!IsWindowVisible(Hwnd())) CentreOnScreen(Hwnd());
    Bring();
}

void LogFrm::LogChanged() {
    logList_.SetRowCount(store_.Log().Count());
}

void LogFrm::ClearSelected() {
    const TickedRemoval outcome = store_.Log().ClearSelected(logItemChecked_);
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
            store_.Log().Clear();
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
            // Whatever closes the viewer, the log is saved.
            store_.OnKill(nullptr);
            store_.Save();
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
