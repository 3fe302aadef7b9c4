#include "platform/Win32TextCase.h"

#include <windows.h>

namespace zapnix {

std::string Win32TextCase::Lower(std::string_view text) const {
    std::string out(text);
    if (!out.empty()) CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

std::string Win32TextCase::Upper(std::string_view text) const {
    std::string out(text);
    if (!out.empty()) CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

}  // namespace zapnix
