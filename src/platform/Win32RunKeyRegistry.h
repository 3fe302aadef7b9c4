#pragma once
// The Run-key port on the real registry (advapi32).

#include "platform/RunKeyRegistry.h"

namespace zapnix {

class Win32RunKeyRegistry final : public RunKeyRegistry {
public:
    bool SetRunValue(RegistryRoot root, const std::string& name, const std::string& data) override;
    bool DeleteRunValue(RegistryRoot root, const std::string& name) override;
};

}  // namespace zapnix
