#include "platform/Win32RunKeyRegistry.h"

#include <windows.h>

#include "platform/Handles.h"
#include "platform/Trace.h"

namespace zapnix {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Whether the value can be seen under the root's Run key; reading needs fewer rights than deleting.
bool RunValuePresent(HKEY root, const std::string& name) {
    UniqueKey key;
    const LSTATUS status = RegOpenKeyExA(root, kRunSubkey, 0, KEY_QUERY_VALUE, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) return true;  // cannot tell: it may well be there
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool Win32RunKeyRegistry::SetRunValue(RegistryRoot root, const std::string& name, const std::string& data) {
    UniqueKey key;
    LSTATUS status = RegCreateKeyA(RootKey(root), kRunSubkey, key.Receive());
    if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>(data.size() + 1));
    if (status == ERROR_SUCCESS) return true;
    SetLastError(static_cast<DWORD>(status));
    TraceFailure("the Run value could not be written");
    return false;
}

bool Win32RunKeyRegistry::DeleteRunValue(RegistryRoot root, const std::string& name) {
    UniqueKey key;
    LSTATUS status = RegOpenKeyA(RootKey(root), kRunSubkey, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return true;  // no Run key: no value either
    if (status == ERROR_SUCCESS) status = RegDeleteValueA(key.Get(), name.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
    // Refused: harmless only when there was nothing to delete.
    if (!RunValuePresent(RootKey(root), name)) return true;
    SetLastError(static_cast<DWORD>(status));
    TraceFailure("the Run value could not be deleted");
    return false;
}

}  // namespace zapnix
