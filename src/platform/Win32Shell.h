#pragma once
// The shell port on shell32.

#include "platform/Shell.h"

namespace zapnix {

// ShellExecuteA with the "open" verb, shown normally.
class Win32Shell final : public Shell {
public:
    void Open(const std::string& url) override;
};

}  // namespace zapnix
