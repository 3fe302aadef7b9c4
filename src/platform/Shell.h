#pragma once
// Opening an address in the user's default browser.

#include <string>

namespace zapnix {

class Shell {
public:
    virtual ~Shell() = default;
    // Hands `url` (one of the program's own addresses) to the shell; whether a browser came up is not
    // known and not reported.
    virtual void Open(const std::string& url) = 0;
};

}  // namespace zapnix
