// The Run-key adapter against the registry of this Wine prefix.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "platform/Win32RunKeyRegistry.h"

namespace zapnix {
namespace {

constexpr char kName[] = "ZapnixRunKeyTest";

std::optional<std::string> ReadBack(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kRunSubkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    char data[512] = {};
    DWORD size = sizeof(data);
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExA(key, kName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, std::string(data).size() + 1) << "the terminating zero is stored, nothing beyond it";
    return std::string(data);
}

TEST(RunKeyRegistry, WritesReadsBackAndDeletesTheValueUnderEitherRoot) {
    Win32RunKeyRegistry registry;
    for (const auto& [root, hkey] : {std::pair{RegistryRoot::LocalMachine, HKEY_LOCAL_MACHINE},
                                     std::pair{RegistryRoot::CurrentUser, HKEY_CURRENT_USER}}) {
        const std::string data = "\"C:\\Program Files\\Zapnix\\Zapnix.exe\"";
        ASSERT_TRUE(registry.SetRunValue(root, kName, data));
        EXPECT_EQ(ReadBack(hkey), data);
        ASSERT_TRUE(registry.SetRunValue(root, kName, "C:\\Tools\\Zapnix.exe"));
        EXPECT_EQ(ReadBack(hkey), "C:\\Tools\\Zapnix.exe") << "a second write replaces the first";

        EXPECT_TRUE(registry.DeleteRunValue(root, kName));
        EXPECT_EQ(ReadBack(hkey), std::nullopt);
        EXPECT_TRUE(registry.DeleteRunValue(root, kName)) << "deleting what is not there is no failure";
        RegDeleteKeyValueA(hkey, kRunSubkey, kName);
    }
}

}  // namespace
}  // namespace zapnix
