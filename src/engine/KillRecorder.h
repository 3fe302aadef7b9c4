#pragma once
// Where the check pass's kills go: the kill log, which saves itself on every entry.

#include <string>

namespace zapnix {

class KillRecorder {
public:
    virtual ~KillRecorder() = default;
    virtual void RecordKill(const std::string& title) = 0;
    // A close request that the system did not deliver, which is no kill. Called once for a window that
    // refuses pass after pass, right after the request, while the system's last error still tells why.
    virtual void ReportUndeliveredClose(const std::string& title) = 0;
};

}  // namespace zapnix
