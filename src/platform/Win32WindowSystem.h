#pragma once
// The window-system port on user32: the only code that enumerates, reads and closes other programs'
// windows.

#include "platform/TextCase.h"
#include "platform/WindowSystem.h"

namespace zapnix {

class Win32WindowSystem final : public WindowSystem {
public:
    void ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) override;
    std::string ClassName(WindowHandle window) override;
    std::string Title(WindowHandle window) override;
    void PostClose(WindowHandle window) override;
};

// CharLowerBuffA and CharUpperBuffA: the user's locale decides, for both sides of every comparison.
class Win32TextCase final : public TextCase {
public:
    std::string Lower(std::string_view text) const override;
    std::string Upper(std::string_view text) const override;
};

// Today's date in the user's short date format, without a time of day.
std::string TodayShortDate();

}  // namespace zapnix
