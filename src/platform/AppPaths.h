#pragma once

#include <string>

namespace zapnix {

// The folder of the running executable, without a trailing separator.
std::string ExecutableFolder();

}  // namespace zapnix
