#pragma once
// Tells whether another copy of the program runs in this session: a named mutex that lives as long as
// the object.

#include <windows.h>

#include "platform/Handles.h"

namespace zapnix {

class SingleInstance {
public:
    explicit SingleInstance(const char* name);

    bool AnotherIsRunning() const { return anotherRunning_; }

private:
    UniqueHandle mutex_;
    bool anotherRunning_ = false;
};

}  // namespace zapnix
