#pragma once
// The text-case port on user32.

#include "platform/TextCase.h"

namespace zapnix {

// CharLowerBuffA and CharUpperBuffA: the user's locale decides, for both sides of every comparison.
class Win32TextCase final : public TextCase {
public:
    std::string Lower(std::string_view text) const override;
    std::string Upper(std::string_view text) const override;
};

}  // namespace zapnix
