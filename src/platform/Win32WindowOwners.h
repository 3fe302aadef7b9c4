#pragma once
// The window-owner port on user32 and kernel32.

#include "platform/WindowOwners.h"

namespace zapnix {

class Win32WindowOwners final : public WindowOwners {
public:
    ProcessId ProcessOf(WindowHandle window) override;
    std::optional<Image> ImageOf(ProcessId process) override;
    void ReportUnreadableImage(ProcessId process) override;
};

}  // namespace zapnix
