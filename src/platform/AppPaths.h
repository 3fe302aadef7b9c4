#pragma once

#include <string>

namespace zapnix {

// The full path of the running executable; "" when the system does not say.
std::string ExecutablePath();
// The folder of the running executable, without a trailing separator.
std::string ExecutableFolder();

}  // namespace zapnix
