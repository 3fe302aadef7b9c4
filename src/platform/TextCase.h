#pragma once
// Letter-case conversion of 8-bit ANSI text with the user's locale rules (CharLowerBuffA and
// CharUpperBuffA on Windows). Comparisons apply the same conversion to both sides.

#include <string>
#include <string_view>

namespace zapnix {

// The lower case of a Basic Latin capital; every other byte as it is.
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class TextCase {
public:
    virtual ~TextCase() = default;
    virtual std::string Lower(std::string_view text) const = 0;
    virtual std::string Upper(std::string_view text) const = 0;
};

// Basic Latin letters only: what every ANSI code page agrees on. Used where no locale is at hand.
class AsciiTextCase final : public TextCase {
public:
    std::string Lower(std::string_view text) const override;
    std::string Upper(std::string_view text) const override;
};

}  // namespace zapnix
