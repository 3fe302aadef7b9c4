#pragma once
// The kill-log viewer. It holds the kill log while it exists: the first kill of a run creates it
// hidden, "View Log" shows it, and closing it saves the log to the kill-log file.

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "killlog/KillLog.h"
#include "platform/BaseWindow.h"
#include "platform/Controls.h"
#include "platform/VirtualListView.h"

namespace zapnix {

inline constexpr char kLogClassName[] = "LogFrm";

class LogFrm : public BaseWindow<LogFrm> {
public:
    static constexpr int kClientWidth = 563;
    static constexpr int kClientHeight = 390;
    static std::span<const ControlSpec> Layout();

    // Creates the viewer hidden and loads the log from `logPath`; null when the window cannot be made.
    static std::unique_ptr<LogFrm> Create(HWND owner, HICON icon, const std::string& logPath);

    void Show();
    // Appends the kill and saves the whole log; the viewer stays as it is, shown or hidden.
    void RecordKill(const std::string& title, const std::string& date);
    // Writes the whole log to the kill-log file.
    bool SaveWinList();

    const KillLog& Log() const { return log_; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    LogFrm() = default;
    void OnCommand(int id);
    void ClearSelected();
    void LogChanged();

    KillLogFile logFile_{""};
    KillLog log_;
    VirtualListView logList_;
    bool logItemChecked_ = false;
};

}  // namespace zapnix
