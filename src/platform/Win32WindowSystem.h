#pragma once
// The window-system port on user32: the only code that enumerates, reads and closes other programs'
// windows.

#include "platform/WindowSystem.h"

namespace zapnix {

class Win32WindowSystem final : public WindowSystem {
public:
    void ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) override;
    std::string ClassName(WindowHandle window) override;
    std::string Title(WindowHandle window) override;
    bool PostClose(WindowHandle window) override;
    bool Exists(WindowHandle window) override;
};

}  // namespace zapnix
