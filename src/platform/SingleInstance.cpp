#include "platform/SingleInstance.h"

namespace zapnix {

SingleInstance::SingleInstance(const char* name) {
    mutex_.Reset(CreateMutexA(nullptr, FALSE, name));
    // Access denied means the mutex exists, created by a copy running with other rights.
    const DWORD error = GetLastError();
    anotherRunning_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
}

}  // namespace zapnix
