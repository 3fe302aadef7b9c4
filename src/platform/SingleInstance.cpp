#include "platform/SingleInstance.h"

namespace zapnix {

SingleInstance::SingleInstance(const char* name) {
    mutex_ = CreateMutexA(nullptr, FALSE, name);
    // Access denied means the mutex exists, created by a copy running with other rights.
    const DWORD error = GetLastError();
    anotherRunning_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

}  // namespace zapnix
