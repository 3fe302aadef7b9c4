// The Run-key adapter against the registry of this Wine prefix.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/Win32RunKeyRegistry.h"

namespace zapnix {
namespace {

TEST(RunKeyRegistry, WritesReplacesAndDeletesTheValueUnderEitherRoot) {
    Win32RunKeyRegistry registry;
    const auto readBack = [](HKEY root) -> std::string {
        char data[512] = {};
        DWORD size = sizeof(data), type = 0;
        if (RegGetValueA(root, kRunSubkey, "ZapnixTest", RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return "-";
        return type == REG_SZ && size == strlen(data) + 1 ? data : "malformed";
    };
    for (const auto& [root, hkey] : {std::pair{RegistryRoot::LocalMachine, HKEY_LOCAL_MACHINE},
                                     std::pair{RegistryRoot::CurrentUser, HKEY_CURRENT_USER}}) {
        ASSERT_TRUE(registry.SetRunValue(root, "ZapnixTest", "C:\\Tools\\Zapnix.exe"));
        ASSERT_TRUE(registry.SetRunValue(root, "ZapnixTest", "\"C:\\Program Files\\Zapnix.exe\""));
        EXPECT_EQ(readBack(hkey), "\"C:\\Program Files\\Zapnix.exe\"");
        EXPECT_TRUE(registry.DeleteRunValue(root, "ZapnixTest"));
        EXPECT_EQ(readBack(hkey), "-");
        EXPECT_TRUE(registry.DeleteRunValue(root, "ZapnixTest")) << "deleting what is not there is no failure";
    }
}

}  // namespace
}  // namespace zapnix
