#pragma once
// The kill-log viewer: shows the kill log's entries as they stand, clears them all or the ticked ones,
// and saves the log when it closes.

#include <windows.h>

#include <memory>

#include "killlog/KillLogStore.h"
#include "platform/BaseWindow.h"
#include "platform/VirtualListView.h"

namespace zapnix {

inline constexpr char kLogClassName[] = "LogFrm";

class LogFrm : public BaseWindow<LogFrm> {
public:
    static constexpr int kClientWidth = 563;
    static constexpr int kClientHeight = 390;

    // Creates the viewer hidden, showing `store` (which must outlive it); null when the window cannot be
    // made.
    static std::unique_ptr<LogFrm> Create(HWND owner, HICON icon, KillLogStore& store);

    void Show();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit LogFrm(KillLogStore& store) : store_(store) {}
    void OnCommand(int id);
    void ClearSelected();
    void LogChanged();

    KillLogStore& store_;
    VirtualListView logList_;
    bool logItemChecked_ = false;
};

}  // namespace zapnix
