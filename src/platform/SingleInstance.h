#pragma once
// Tells whether another copy of the program runs in this session: a named mutex that lives as long as
// the object.

#include <windows.h>

namespace zapnix {

class SingleInstance {
public:
    explicit SingleInstance(const char* name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool AnotherIsRunning() const { return anotherRunning_; }

private:
    HANDLE mutex_ = nullptr;
    bool anotherRunning_ = false;
};

}  // namespace zapnix
