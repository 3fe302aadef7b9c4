#pragma once
// The notification area (the tray) as the shell offers it: one call that adds, changes or removes an
// icon described by a record.

#include <windows.h>
#include <shellapi.h>

namespace zapnix {

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // `message` is NIM_ADD, NIM_MODIFY or NIM_DELETE; true when the shell did it.
    virtual bool Notify(DWORD message, const NOTIFYICONDATAA& record) = 0;
};

}  // namespace zapnix
